// The help in the program's own window: a QTextBrowser on the bundled HTML
// help, so that help opens on every machine, with or without a desktop that
// knows how to show a file.
#pragma once

#include "core/platform.h"

#include <QPointer>
#include <QString>
#include <QTextBrowser>
#include <QWidget>

namespace quillet {

// The copy of the help compiled into the program (app/app.qrc); shown when
// no help file lies beside the program.
inline const QString kBundledHelp = QStringLiteral(":/help/QuilletHelp_jpn.html");

class QtHelpViewer : public HelpViewer {
public:
    explicit QtHelpViewer(QWidget* parent = nullptr) : parent_(parent) {}
    ~QtHelpViewer() override;
    void setParent(QWidget* parent) { parent_ = parent; }

    // Shows helpFile (or the bundled copy when it is missing) at the anchor
    // "context<n>", in one window that is reused and brought to the front.
    // false when there is no help to show.
    bool openHelp(const QString& helpFile, int context) override;

    // The help window, once opened (its object name is "HelpWindow").
    QWidget* window() const { return window_; }
    QTextBrowser* browser() const { return browser_; }

private:
    QPointer<QWidget> parent_;
    QPointer<QWidget> window_;
    QPointer<QTextBrowser> browser_;
};

}  // namespace quillet
