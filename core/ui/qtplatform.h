// Qt implementations of the side-effect interfaces of core/platform.h: the
// message boxes and the file dialogs the program shows.
#pragma once

#include "core/platform.h"

#include <QCoreApplication>
#include <QPointer>
#include <QString>
#include <QTranslator>
#include <QWidget>

namespace quillet {

// The window a message box or a file dialog belongs to, so that it stays in
// front of the window the user works in: an open modal dialog, else
// preferred while it is enabled, else the active window, else the first
// visible window that is enabled (the graph window while it disables the
// main window).
QWidget* dialogOwner(QWidget* preferred);

// Shrinks and moves a top-level window so that it lies, with its frame,
// within the available area of its screen (a 1366×768 screen with a panel
// keeps a tall window's bottom on the screen).
void fitIntoScreen(QWidget* window);

// Message boxes: the buttons of the style's low bits (0 OK, 1 OK/Cancel,
// 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel), the icon
// of its flags (16 stop, 32 question, 48 exclamation, 64 information), the
// catalogue title, and the answer as the catalogue callers test it.
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    int show(const QString& title, const QString& text, int style) override;
    void concern(const QString& path) override { concern_ = path; }

private:
    QPointer<QWidget> parent_;
    QString concern_;
};

// Qt's own Japanese texts (the buttons and labels of the standard dialogs
// and message boxes: "キャンセル", "ファイル名", ...) from the system's Qt
// translations, whatever the user's locale. false when they are not
// installed (Debian: qt6-translations-l10n). The translator belongs to app;
// nullptr when the translation is not there.
QTranslator* installQtJapanese(QCoreApplication& app);

// Message texts use CR or CR LF between lines; a message box wants LF.
QString displayText(const QString& text);

// "description|pattern|description|pattern", patterns separated by ";"
// ("File(*.ql*)|*.ql6;*.ql5") as Qt wants it:
// "File(*.ql*) (*.ql6 *.ql5)", one filter per line.
QString qtFileFilter(const QString& filter);

// File dialogs: the caller's title, filter, default extension (a wildcard
// extension such as "ql*" adds nothing) and initial name; a relative or
// empty initial name starts in the given folder.
class QtFileDialogs : public FileDialogs {
public:
    QtFileDialogs(QWidget* parent, QString startFolder) : parent_(parent), startFolder_(std::move(startFolder)) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    std::optional<QString> openFile(const FileDialogRequest& r) override;
    std::optional<QString> saveFile(const FileDialogRequest& r) override;

private:
    std::optional<QString> run(const FileDialogRequest& r, bool save);
    QPointer<QWidget> parent_;
    QString startFolder_;
};

// The colour dialog (QColorDialog); Cancel answers nothing.
class QtColorDialogs : public ColorDialogs {
public:
    explicit QtColorDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    std::optional<QColor> chooseColor(QColor initial) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace quillet
