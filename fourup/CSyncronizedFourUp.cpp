#include "fourup/CSyncronizedFourUp.h"

#include <algorithm>

#include "fourup/CodecFourUp.h"

void CSyncronizedFourUp::AttachPane(CodecFourUp* pane) {
    if (pane == nullptr || std::find(mPanes.begin(), mPanes.end(), pane) != mPanes.end()) return;
    mPanes.push_back(pane);
    pane->AddListener(this);
}

void CSyncronizedFourUp::OnMessage(MessageT message, void* parameter) {
    if (message != msg_FourUpScrolled || parameter == nullptr) return;
    auto* sender = static_cast<CodecFourUp*>(parameter);
    const QPoint position = sender->GetScrollPosition();
    for (CodecFourUp* pane : mPanes) {
        // Panes that went away unlinked themselves from this listener.
        if (pane == sender || !HasBroadcaster(pane)) continue;
        pane->ScrollImageTo(position.x(), position.y(), true);
        pane->UpdatePort();
    }
}
