// A window's menu bar as a table: each line a menu, an entry or a
// separator, in the menu that holds it, with the old control's name as the
// object name. The main window and the graph window build theirs from one.
#pragma once

#include <QByteArray>
#include <QMenu>
#include <QMenuBar>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace quillet {

template <class C>
struct MenuLine {
    enum Kind { Menu, Entry, Separator } kind;
    C command;
    std::optional<C> in;  // none: the menu bar
    QByteArray name;
    const char16_t* caption;
};

// Builds the lines into bar, in their order: every command's action (a
// menu's is its menu action) into actions, every menu into menus.
template <class C, size_t N>
void buildMenuBar(QMenuBar* bar, const std::vector<MenuLine<C>>& lines, std::array<QAction*, N>& actions,
                  std::array<QMenu*, N>& menus) {
    for (const MenuLine<C>& line : lines) {
        const QString caption = QString::fromUtf16(line.caption);
        QMenu* in = line.in ? menus[size_t(*line.in)] : nullptr;
        QAction* a = nullptr;
        switch (line.kind) {
        case MenuLine<C>::Separator: in->addSeparator(); continue;
        case MenuLine<C>::Menu: {
            QMenu* m = in ? in->addMenu(caption) : bar->addMenu(caption);
            menus[size_t(line.command)] = m;
            a = m->menuAction();
            break;
        }
        case MenuLine<C>::Entry: a = in ? in->addAction(caption) : bar->addAction(caption); break;
        }
        a->setObjectName(QString::fromLatin1(line.name));
        actions[size_t(line.command)] = a;
    }
}

// A pop-up menu of the window with one entry; both go into the arrays.
template <class C, size_t N>
QAction* addPopup(QWidget* window, C popup, const char* popupName, const QString& title, C entry, const char* entryName,
                  const QString& caption, std::array<QAction*, N>& actions, std::array<QMenu*, N>& menus) {
    auto* m = new QMenu(title, window);
    m->setObjectName(QString::fromLatin1(popupName));
    menus[size_t(popup)] = m;
    actions[size_t(popup)] = m->menuAction();
    QAction* a = m->addAction(caption);
    a->setObjectName(QString::fromLatin1(entryName));
    actions[size_t(entry)] = a;
    return a;
}

}  // namespace quillet
