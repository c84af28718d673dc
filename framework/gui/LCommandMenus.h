// The menus: one QAction per command, shared by the menu bars of every
// window. Choosing an item (or its shortcut) sends the command to the
// target of the commander chain; before a menu opens, each item asks the
// chain whether it is enabled.
#pragma once

#include <QAction>
#include <QKeySequence>
#include <QObject>
#include <QString>
#include <map>
#include <vector>

#include "framework/gui/LCommander.h"

class QMenu;
class QMenuBar;

class LCommandMenus : public QObject {
    Q_OBJECT

public:
    struct Item {
        CommandT command = cmd_Nothing;  // cmd_Nothing: a separator
        QString text;
        QKeySequence shortcut;
        QAction::MenuRole role = QAction::NoRole;
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
