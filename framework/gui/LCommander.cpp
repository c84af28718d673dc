#include "framework/gui/LCommander.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>

LCommander* LCommander::sTopCommander = nullptr;

LCommander::LCommander(LCommander* superCommander) { SetSuperCommander(superCommander); }

LCommander::~LCommander() {
    mDying = true;
    // Sub-commanders unlink themselves as they go.
    while (!mSubs.empty()) {
        LCommander* sub = mSubs.back();
        sub->SetSuperCommander(nullptr);
        if (auto* widget = dynamic_cast<QWidget*>(sub))
            delete widget;
        else
            delete sub;
    }
    SetSuperCommander(nullptr);
    if (sTopCommander == this) sTopCommander = nullptr;
}

void LCommander::SetSuperCommander(LCommander* superCommander) {
    if (mSuper == superCommander) return;
    if (mSuper != nullptr) {
        auto& siblings = mSuper->mSubs;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    mSuper = superCommander;
    if (mSuper != nullptr) mSuper->mSubs.push_back(this);
}

bool LCommander::ObeyCommand(CommandT command, void* parameter) {
    for (LCommander* c = this; c != nullptr; c = c->NextInChain())
        if (c->HandleCommand(command, parameter)) return true;
    return false;
}

void LCommander::ProcessCommandStatus(CommandT command, SCommandStatus& status) {
    for (LCommander* c = this; c != nullptr; c = c->NextInChain())
        if (c->FindCommandStatus(command, status)) return;
    status.enabled = false;
}

bool LCommander::ProcessKeyPress(const QKeyEvent& key) {
    for (LCommander* c = this; c != nullptr; c = c->NextInChain())
        if (c->HandleKeyPress(key)) return true;
    return false;
}

LCommander* LCommander::NextInChain() const {
    if (mSuper != nullptr) return mSuper;
    if (auto* widget = dynamic_cast<const QWidget*>(this)) return CommanderOf(widget->parentWidget());
    return nullptr;
}

LCommander* LCommander::CommanderOf(QWidget* widget) {
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget())
        if (auto* commander = dynamic_cast<LCommander*>(w)) return commander;
    return nullptr;
}

LCommander* LCommander::GetTarget() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        if (LCommander* c = CommanderOf(QApplication::focusWidget())) return c;
        if (LCommander* c = CommanderOf(QApplication::activeWindow())) return c;
    }
    return sTopCommander;
}
