#include "core/ui/helpviewer.h"

#include "core/ui/qtplatform.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace quillet {

QtHelpViewer::~QtHelpViewer() { delete window_; }

bool QtHelpViewer::openHelp(const QString& helpFile, int context) {
    QUrl source;
    if (!helpFile.isEmpty() && QFileInfo(helpFile).isFile())
        source = QUrl::fromLocalFile(helpFile);
    else if (QFileInfo::exists(kBundledHelp))
        source = QUrl(QStringLiteral("qrc") + kBundledHelp);
    else
        return false;

    if (!window_) {
        window_ = new QWidget(parent_, Qt::Window);
        window_->setObjectName(QStringLiteral("HelpWindow"));
        window_->setAttribute(Qt::WA_DeleteOnClose, false);
        browser_ = new QTextBrowser(window_);
        browser_->setObjectName(QStringLiteral("HelpBrowser"));
        browser_->setOpenExternalLinks(true);
        auto* layout = new QVBoxLayout(window_);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser_);
        window_->resize(720, 600);
    }
    if (context > 0) source.setFragment(QStringLiteral("context%1").arg(context));
    browser_->setSource(source);
    if (browser_->document()->isEmpty()) return false;
    window_->setWindowTitle(browser_->documentTitle());
    fitIntoScreen(window_);
    window_->show();
    window_->raise();
    window_->activateWindow();
    return true;
}

}  // namespace quillet
