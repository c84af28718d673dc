#include "framework/gui/LEditField.h"

LEditField::LEditField(QWidget* parent) : QSpinBox(parent), LControl(this) {
    setRange(0, 99999);
    setKeyboardTracking(false);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setAccelerated(true);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(this, &QSpinBox::valueChanged, this, [this] {
        if (!mSettingValue) BroadcastValueMessage();
    });
}

void LEditField::SetValue(int32_t newValue) {
    mSettingValue = true;
    setValue(newValue);
    mSettingValue = false;
}
