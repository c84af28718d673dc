// A horizontal slider; its value is the slider's value. It broadcasts its
// value message when the value settles: on release after a drag (not at
// every pixel of it), on each key or page step, and on SetValue.
#pragma once

#include <QSlider>

#include "framework/gui/LControl.h"

class LSlider : public QSlider, public LControl {
    Q_OBJECT

public:
    explicit LSlider(QWidget* parent = nullptr);

    int32_t GetValue() const override { return value(); }
    // Clamped to the slider's range.
    void SetValue(int32_t newValue) override { setValue(newValue); }
};
