#include "framework/gui/StDialogHandler.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>

#include "framework/LEventLoop.h"
#include "framework/gui/LControl.h"

namespace {

// Close box and keys become messages instead of closing the window under
// the code that polls it.
class DialogKeys : public QObject {
public:
    explicit DialogKeys(StDialogHandler& handler) : mHandler(handler) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            event->ignore();
            mHandler.OnMessage(msg_Cancel, nullptr);
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape) {
                mHandler.OnMessage(msg_Cancel, nullptr);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    StDialogHandler& mHandler;
};

}  // namespace

StDialogHandler::StDialogHandler(int16_t layoutNumber, LCommander* superCommander) {
    mDialog = LWindow::CreateWindow(layoutNumber, superCommander, LWindow::kDialog);
    mDialog->setWindowModality(Qt::ApplicationModal);
    mCloseFilter = std::make_unique<DialogKeys>(*this);
    mDialog->installEventFilter(mCloseFilter.get());
    // Buttons are what a dialog answers with; bars and texts broadcast
    // too, but they are not the user's choice.
    for (QAbstractButton* button : mDialog->findChildren<QAbstractButton*>()) {
        if (auto* control = dynamic_cast<LControl*>(button)) control->AddListener(this);
    }
}

StDialogHandler::~StDialogHandler() {
    if (mDialog != nullptr) {
        mDialog->removeEventFilter(mCloseFilter.get());
        mDialog->hide();
        mDialog->SetSuperCommander(nullptr);
        delete mDialog;
    }
}

void StDialogHandler::OnMessage(MessageT message, void*) {
    if (message != msg_BroadcasterDied) mMessage = message;
}

MessageT StDialogHandler::PollDialog() {
    if (mSleepTicks > 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    else
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    LEventLoop::RunRepeatTasksNow();
    const MessageT message = mMessage;
    mMessage = 0;
    return message;
}

MessageT StDialogHandler::DoDialogUntil(MessageT first, MessageT second) {
    const uint32_t sleep = mSleepTicks;
    if (mSleepTicks == 0) mSleepTicks = 6;
    MessageT message = 0;
    while (message != first && message != second) message = PollDialog();
    mSleepTicks = sleep;
    return message;
}
