// A dialog that does not block: the caller keeps working and polls it.
// PollDialog lets pending events through once and answers the message of
// the button hit since the last poll (0 when none). Escape and the
// window's close box answer the Cancel message, Return the OK message
// when the dialog has a default button. Destroying the handler closes the
// dialog.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/LListener.h"
#include "framework/gui/LWindow.h"

class QObject;

constexpr MessageT msg_OK = 900;
constexpr MessageT msg_Cancel = 901;

class StDialogHandler : public LListener {
public:
    // Builds dialog layout n; throws LException when it is missing.
    StDialogHandler(int16_t layoutNumber, LCommander* superCommander);
    ~StDialogHandler() override;
    StDialogHandler(const StDialogHandler&) = delete;
    StDialogHandler& operator=(const StDialogHandler&) = delete;

    LWindow* GetDialog() const { return mDialog; }
    template <class T = QWidget>
    T* FindPane(PaneIDT id) const {
        return mDialog != nullptr ? mDialog->FindPane<T>(id) : nullptr;
    }

    // Non-zero: a poll waits for the next event instead of returning at
    // once when there is none (0, the default, never waits).
    void SetSleepTime(uint32_t ticks) { mSleepTicks = ticks; }
    MessageT PollDialog();
    // Polls until one of the two messages comes.
    MessageT DoDialogUntil(MessageT first = msg_OK, MessageT second = msg_Cancel);

    void OnMessage(MessageT message, void* parameter) override;
    // The message the next poll will answer (tests, scripts).
    MessageT PendingMessage() const { return mMessage; }

private:
    LWindow* mDialog = nullptr;
    std::unique_ptr<QObject> mCloseFilter;
    MessageT mMessage = 0;
    uint32_t mSleepTicks = 0;
};
