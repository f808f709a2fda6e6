// The print commands of the main window: "全体印刷(&A)" (and the toolbar's
// print button), "部分印刷(&B)", "パラメータ印刷(&P)" and "プリンタ設定(&S)".
#pragma once

namespace quillet {

struct AppContext;
class MainWindow;
class PartialPrintPrompt;

// partPrint: the partial print dialog to use; nullptr = PartialPrintDialog over the
// window.
void wirePrint(MainWindow& window, AppContext& ctx, PartialPrintPrompt* partPrint = nullptr);

}  // namespace quillet
