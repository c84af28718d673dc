// A control of a window layout: a widget with a 32-bit value that
// broadcasts its value message (its pane ID unless the layout gives a
// "message" property) with a pointer to the new value whenever the value
// changes, by the user or by SetValue. Wrap a programmatic change in
// StopBroadcasting/StartBroadcasting to keep it quiet. Edit fields are the
// exception: they broadcast only what the user typed.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>

#include "framework/LBroadcaster.h"
#include "framework/gui/LPane.h"

class LControl : public LBroadcaster {
public:
    explicit LControl(QWidget* self) : mSelf(self) {}
    ~LControl() override = default;
    LControl(const LControl&) = delete;
    LControl& operator=(const LControl&) = delete;

    QWidget* Widget() const { return mSelf; }
    PaneIDT GetPaneID() const { return PaneIDOf(mSelf); }
    // The "message" property of the layout when set, else the pane ID.
    MessageT GetValueMessage() const;

    virtual int32_t GetValue() const = 0;
    virtual void SetValue(int32_t value) = 0;
    virtual QString GetDescriptor() const { return QString::number(GetValue()); }
    virtual void SetDescriptor(const QString& text) { SetValue(text.toInt()); }

    // Sends the value message with a pointer to the current value.
    void BroadcastValueMessage();

    // The control with this pane ID inside root, or null.
    static LControl* FindControl(const QWidget* root, PaneIDT id) {
        return FindPaneByID<LControl>(root, id);
    }

private:
    QWidget* mSelf;
};

// Sets a control's value without telling its listeners.
class StQuietControl {
public:
    explicit StQuietControl(LControl* control)
        : mControl(control), mWasBroadcasting(control && control->IsBroadcasting()) {
        if (mControl) mControl->StopBroadcasting();
    }
    ~StQuietControl() {
        if (mControl && mWasBroadcasting) mControl->StartBroadcasting();
    }
    StQuietControl(const StQuietControl&) = delete;
    StQuietControl& operator=(const StQuietControl&) = delete;

private:
    LControl* mControl;
    bool mWasBroadcasting;
};
