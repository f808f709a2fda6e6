// The print commands of the main window: "全体印刷(&A)" (and the toolbar's
// print button), "部分印刷(&B)", "パラメータ印刷(&P)", their previews
// ("印刷プレビュー(&V)") and PDF files ("PDFで保存(&D)..."), and
// "プリンタ設定(&S)".
#pragma once

namespace quillet {

struct AppContext;
class MainWindow;
class PartialPrintPrompt;
class PrintPreview;

// partPrint: the partial print dialog to use; nullptr = PartialPrintDialog
// over the window. preview: the preview to use; nullptr = Qt's preview
// dialog over the window.
void wirePrint(MainWindow& window, AppContext& ctx, PartialPrintPrompt* partPrint = nullptr,
               PrintPreview* preview = nullptr);

}  // namespace quillet
