#include "core/ui/qtplatform.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTranslator>

#include "core/uitexts.h"

#include <utility>
#include <vector>

namespace quillet {

QTranslator* installQtJapanese(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          folder) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

QString displayText(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QWidget* dialogOwner(QWidget* preferred) {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (preferred && preferred->window()->isEnabled()) return preferred;
    // The preferred window is disabled (another window, the graph window,
    // works over it): the dialog belongs to the window that is in use.
    if (QWidget* active = QApplication::activeWindow(); active && active->isEnabled()) return active;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isEnabled() && w->isWindow() && !(w->windowFlags() & Qt::Popup) &&
            !(w->windowType() == Qt::ToolTip))
            return w;
    return preferred;
}

void fitIntoScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen) return;
    const QRect room = screen->availableGeometry();
    // The frame's size where the window manager has told it, else room for
    // a title bar.
    QSize frame = window->frameGeometry().size() - window->geometry().size();
    if (frame.isEmpty()) frame = QSize(8, 40);
    const QSize size = window->size().boundedTo(room.size() - frame);
    if (size != window->size()) window->resize(size);
    QRect outer(window->frameGeometry().topLeft(), size + frame);
    if (outer.right() > room.right()) outer.moveRight(room.right());
    if (outer.bottom() > room.bottom()) outer.moveBottom(room.bottom());
    if (outer.left() < room.left()) outer.moveLeft(room.left());
    if (outer.top() < room.top()) outer.moveTop(room.top());
    if (outer.topLeft() != window->frameGeometry().topLeft()) window->move(outer.topLeft());
}

int QtMessageBoxes::show(const QString& title, const QString& text, int style) {
    QWidget* parent = dialogOwner(parent_);
    QMessageBox box(parent);
    if (parent) box.setFont(parent->window()->font());  // the main window's, not the smaller default
    box.setWindowTitle(title);
    // A question or an error about a file names it.
    box.setText(concern_.isEmpty() ? displayText(text)
                                   : QDir::toNativeSeparators(concern_) + QLatin1Char('\n') + displayText(text));
    box.setTextFormat(Qt::PlainText);
    switch (style & 0x70) {
    case kIconError: box.setIcon(QMessageBox::Critical); break;
    case kIconQuestion: box.setIcon(QMessageBox::Question); break;
    case kIconExclamation: box.setIcon(QMessageBox::Warning); break;
    case kIconInformation: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon);
    }
    // The buttons in the order the style names them, with the answer each gives.
    std::vector<std::pair<QMessageBox::StandardButton, int>> buttons;
    switch (style & 7) {
    case kOkCancel: buttons = {{QMessageBox::Ok, kOk}, {QMessageBox::Cancel, kCancel}}; break;
    case kAbortRetryIgnore:
        buttons = {{QMessageBox::Abort, kAbort}, {QMessageBox::Retry, kRetry}, {QMessageBox::Ignore, kIgnore}};
        break;
    case kYesNoCancel:  // every such question asks whether to save first
        buttons = {{QMessageBox::Save, kYes}, {QMessageBox::Discard, kNo}, {QMessageBox::Cancel, kCancel}};
        break;
    case kYesNo: buttons = {{QMessageBox::Yes, kYes}, {QMessageBox::No, kNo}}; break;
    case kRetryCancel: buttons = {{QMessageBox::Retry, kRetry}, {QMessageBox::Cancel, kCancel}}; break;
    default: buttons = {{QMessageBox::Ok, kOk}};
    }
    QMessageBox::StandardButtons set;
    for (const auto& b : buttons) set |= b.first;
    box.setStandardButtons(set);
    if ((style & 7) == kYesNoCancel) {
        box.button(QMessageBox::Save)->setText(uiText(ui::kSaveButton));
        box.button(QMessageBox::Discard)->setText(uiText(ui::kDontSaveButton));
        box.button(QMessageBox::Cancel)->setText(uiText(ui::kCancelButton));
    }
    box.setDefaultButton(buttons.front().first);
    box.setEscapeButton(buttons.back().first);
    const auto pressed = QMessageBox::StandardButton(box.exec());
    for (const auto& b : buttons)
        if (b.first == pressed) return b.second;
    return buttons.back().second;  // closed without a button: the escape answer
}

QString qtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) p = p.trimmed();
        // "ファイル(*.ql6)" names its patterns already; Qt reads them from there.
        const QString named = QLatin1Char('(') + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
        out << (parts[i].endsWith(named) ? parts[i] : parts[i] + QLatin1Char(' ') + named);
    }
    if (parts.size() % 2 == 1 && !parts.last().isEmpty()) out << parts.last();
    return out.join(QStringLiteral(";;"));
}

std::optional<QString> QtFileDialogs::openFile(const FileDialogRequest& r) { return run(r, false); }

std::optional<QString> QtFileDialogs::saveFile(const FileDialogRequest& r) { return run(r, true); }

std::optional<QString> QtFileDialogs::run(const FileDialogRequest& r, bool save) {
    QFileDialog dlg(dialogOwner(parent_), r.title);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dlg.setNameFilter(qtFileFilter(r.filter));
    if (!r.defaultExtension.isEmpty() && !r.defaultExtension.contains(QLatin1Char('*')))
        dlg.setDefaultSuffix(r.defaultExtension);
    // A save asks about an existing file itself (message 9).
    dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QFileInfo initial(r.initialName);
    if (!r.initialName.isEmpty() && initial.isAbsolute()) {
        dlg.setDirectory(initial.absolutePath());
        dlg.selectFile(initial.fileName());
    } else {
        dlg.setDirectory(startFolder_);
        if (!r.initialName.isEmpty()) dlg.selectFile(r.initialName);
    }
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dlg.selectedFiles();
    if (files.isEmpty()) return QString();
    return files.first();
}

std::optional<QColor> QtColorDialogs::chooseColor(QColor initial) {
    QWidget* parent = dialogOwner(parent_);
    const QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid()) return std::nullopt;
    return c;
}

}  // namespace quillet
