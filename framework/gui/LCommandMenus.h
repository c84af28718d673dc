// The menus: one QAction per command, shared by the menu bars of every
// window. Choosing an item (or its shortcut) sends the command to the
// target of the commander chain; before a menu opens, each item asks the
// chain whether it is enabled.
#pragma once

#include <QAction>
#include <QKeySequence>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <vector>

#include "framework/gui/LCommander.h"

class QMenu;
class QMenuBar;

class LCommandMenus : public QObject {
    Q_OBJECT

public:
    struct Item {
        Item() = default;  // a separator
        Item(CommandT command, QString text, QKeySequence shortcut = {}, QAction::MenuRole role = QAction::NoRole)
            : command(command), text(std::move(text)), shortcut(std::move(shortcut)), role(role) {}
        static Item Submenu(QString text, std::function<void(QMenu*)> fill) {
            Item item;
            item.text = std::move(text);
            item.fillSubmenu = std::move(fill);
            return item;
        }

        CommandT command = cmd_Nothing;  // cmd_Nothing: a separator
        QString text;
        QKeySequence shortcut;
        QAction::MenuRole role = QAction::NoRole;
        // Set: the item is a submenu titled `text`, filled afresh each
        // time it opens (its actions are its own, not commands).
        std::function<void(QMenu*)> fillSubmenu;
    };
    struct Menu {
        QString title;
        std::vector<Item> items;
    };

    static LCommandMenus& Instance();

    // Replaces the menus (windows built later get the new ones).
    void SetMenus(std::vector<Menu> menus);
    void Clear();
    const std::vector<Menu>& Menus() const { return mMenus; }
    // Builds the menus into a window's menu bar.
    void InstallIn(QMenuBar* bar);

    QAction* ActionFor(CommandT command) const;
    // Asks the target's chain about every command.
    void UpdateStatus();
    // Sends a command to the target (or to the given commander) when it
    // is enabled there; true when someone handled it.
    static bool Dispatch(CommandT command, LCommander* target = nullptr);

private:
    LCommandMenus() = default;
    void UpdateMenu(QMenu* menu);

    std::vector<Menu> mMenus;
    std::map<CommandT, QAction*> mActions;
};
