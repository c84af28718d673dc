#include "docwindow/LHintAttachment.h"

#include <QEvent>
#include <QWidget>

#include "docwindow/CHintView.h"
#include "framework/Ticks.h"
#include "framework/gui/LPane.h"
#include "framework/gui/URegistrar.h"

LHintAttachment::LHintAttachment(QWidget* host, const QString& text)
    : LAttachment(host), mText(text.left(255)) {
    // Clicks and keys on the pane are messages too.
    host->installEventFilter(this);
}

void LHintAttachment::Register() {
    URegistrar::RegisterAttachment(kClassID, "hint", [](QWidget* host, const QVariant& value) {
        const QString text = value.toString();
        if (!text.isEmpty()) new LHintAttachment(host, text);
    });
}

CHintView* LHintAttachment::HintView() const {
    QWidget* host = Host();
    if (host == nullptr) return nullptr;
    return FindPaneByID<CHintView>(host->window(), PaneIDT(CHintView::kPaneID));
}

bool LHintAttachment::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Host()) {
        if (event->type() == QEvent::MouseButtonPress) Execute(msg_Click, nullptr);
        if (event->type() == QEvent::KeyPress) Execute(msg_KeyPress, nullptr);
    }
    return false;
}

void LHintAttachment::ExecuteSelf(MessageT message, void* parameter) {
    const auto* event = static_cast<const EventRecord*>(parameter);
    const uint32_t now = event != nullptr ? event->when : TickCount();
    bool showDue = false;
    bool hideRequested = false;
    EventPoint mouse = mLastMouse;

    switch (message) {
        case msg_MouseEntered:
            // A hint of another pane of this window goes at once.
            if (CHintView* hint = HintView()) hint->hide();
            mShowTime = now + kRestTicks;
            mHideTime = mShowTime + kShowTicks;
            if (event != nullptr) mLastMouse = event->where;
            break;
        case msg_MouseWithin:
            showDue = now >= mShowTime;
            hideRequested = now >= mHideTime;
            if (event != nullptr) {
                mouse = event->where;
                if (mouse.h != mLastMouse.h || mouse.v != mLastMouse.v) {
                    mLastMouse = mouse;
                    hideRequested = true;
                    if (now < mShowTime) mShowTime = now + kRestTicks;
                }
            }
            break;
        case msg_MouseLeft:
        case msg_Click:
            hideRequested = true;
            break;
        default:  // keys, and anything else: nothing
            return;
    }

    QWidget* host = Host();
    if (host == nullptr) return;
    QWidget* window = host->window();
    if (window == nullptr) return;
    CHintView* hint = HintView();

    if (hideRequested && hint != nullptr && hint->isVisible()) {
        hint->hide();
        mShowTime = kNever;
    }
    if (showDue && window->isVisible() && window->isActiveWindow()) {
        if (hint == nullptr) hint = new CHintView(window);
        if (!hint->isVisible()) {
            mHideTime = now + kShowTicks;
            mShowTime = kNever;
            hint->ShowHint(mText, window->mapFromGlobal(QPoint(mouse.h, mouse.v)));
        }
    }
}
