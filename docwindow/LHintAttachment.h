// A pane's hint: shown after the mouse has rested two seconds on the pane,
// gone three seconds later, or as soon as the mouse moves, the pane is
// clicked or the mouse leaves; it comes back only after the mouse has left
// and come in again. The hint mouse tracker sends the messages; times come
// from the event records (ticks).
#pragma once

#include <QString>
#include <cstdint>

#include "framework/EventRecord.h"
#include "framework/FourCharCode.h"
#include "framework/gui/LAttachment.h"

constexpr MessageT msg_MouseEntered = 950;
constexpr MessageT msg_MouseWithin = 951;
constexpr MessageT msg_MouseLeft = 952;

class CHintView;

class LHintAttachment : public LAttachment {
    Q_OBJECT

public:
    static constexpr OSType kClassID = FourCC("Hint");
    static constexpr uint32_t kNever = 2147483647;
    static constexpr uint32_t kRestTicks = 120;
    static constexpr uint32_t kShowTicks = 180;

    LHintAttachment(QWidget* host, const QString& text);

    const QString& Text() const { return mText; }
    uint32_t ShowTime() const { return mShowTime; }
    uint32_t HideTime() const { return mHideTime; }
    // The hint box of the host's window, if one was built.
    CHintView* HintView() const;

    // Attaches hints to a layout's panes ("hint" property).
    static void Register();

protected:
    // parameter: the tracker's EventRecord (mouse in global coordinates).
    void ExecuteSelf(MessageT message, void* parameter) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    uint32_t mShowTime = kNever;
    uint32_t mHideTime = kNever;
    QString mText;
    EventPoint mLastMouse{-1, -1};
};
