// The print commands of the main window: "全体印刷(&A)" (and the toolbar's
// print button), "部分印刷(&B)", "パラメータ印刷(&P)" and "プリンタ設定(&S)".
#pragma once

namespace quillet {

struct AppContext;
class MAIN;
class PartPrintDialog;

// partPrint: the partial print dialog to use; nullptr = fPartPrint over the
// window.
void wirePrint(MAIN& window, AppContext& ctx, PartPrintDialog* partPrint = nullptr);

}  // namespace quillet
