#include "framework/gui/LCommandMenus.h"

#include <QMenu>
#include <QMenuBar>

LCommandMenus& LCommandMenus::Instance() {
    static LCommandMenus* instance = new LCommandMenus;  // lives as long as the program
    return *instance;
}

void LCommandMenus::SetMenus(std::vector<Menu> menus) {
    Clear();
    mMenus = std::move(menus);
    for (const Menu& menu : mMenus) {
        for (const Item& item : menu.items) {
            if (item.command == cmd_Nothing || item.fillSubmenu || mActions.count(item.command) != 0) continue;
            auto* action = new QAction(item.text, this);
            action->setShortcut(item.shortcut);
            action->setMenuRole(item.role);
            action->setData(int(item.command));
            const CommandT command = item.command;
            connect(action, &QAction::triggered, this, [command] { Dispatch(command); });
            mActions[item.command] = action;
        }
    }
}

void LCommandMenus::Clear() {
    for (auto& [command, action] : mActions) delete action;
    mActions.clear();
    mMenus.clear();
}

void LCommandMenus::InstallIn(QMenuBar* bar) {
    if (bar == nullptr) return;
    for (const Menu& menu : mMenus) {
        QMenu* qmenu = bar->addMenu(menu.title);
        for (const Item& item : menu.items) {
            if (item.fillSubmenu) {
                QMenu* sub = qmenu->addMenu(item.text);
                connect(sub, &QMenu::aboutToShow, sub, [sub, fill = item.fillSubmenu] {
                    sub->clear();
                    fill(sub);
                });
            } else if (item.command == cmd_Nothing)
                qmenu->addSeparator();
            else if (QAction* action = ActionFor(item.command))
                qmenu->addAction(action);
        }
        connect(qmenu, &QMenu::aboutToShow, this, [this, qmenu] { UpdateMenu(qmenu); });
        // The actions are shared and Dispatch asks again: a shortcut must
        // not stay off because a menu of another moment said so.
        connect(qmenu, &QMenu::aboutToHide, this, [qmenu] {
            for (QAction* action : qmenu->actions()) action->setEnabled(true);
        });
    }
}

QAction* LCommandMenus::ActionFor(CommandT command) const {
    auto it = mActions.find(command);
    return it == mActions.end() ? nullptr : it->second;
}

void LCommandMenus::UpdateMenu(QMenu* menu) {
    LCommander* target = LCommander::GetTarget();
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || action->menu() != nullptr) continue;
        SCommandStatus status;
        if (target != nullptr) target->ProcessCommandStatus(CommandT(action->data().toInt()), status);
        action->setEnabled(status.enabled);
        if (status.usesMark) {
            action->setCheckable(true);
            action->setChecked(status.mark != 0);
        }
        if (!status.name.isEmpty()) action->setText(status.name);
    }
}

void LCommandMenus::UpdateStatus() {
    LCommander* target = LCommander::GetTarget();
    for (auto& [command, action] : mActions) {
        SCommandStatus status;
        if (target != nullptr) target->ProcessCommandStatus(command, status);
        action->setEnabled(status.enabled);
    }
}

bool LCommandMenus::Dispatch(CommandT command, LCommander* target) {
    if (target == nullptr) target = LCommander::GetTarget();
    if (target == nullptr) return false;
    SCommandStatus status;
    target->ProcessCommandStatus(command, status);
    if (!status.enabled) return false;
    return target->ObeyCommand(command, nullptr);
}
