#include "framework/gui/LPopupButton.h"

LPopupButton::LPopupButton(QWidget* parent) : QComboBox(parent), LControl(this) {
    connect(this, &QComboBox::currentIndexChanged, this, [this] { BroadcastValueMessage(); });
}

void LPopupButton::SetValue(int32_t value) {
    if (value < 1 || value > count()) return;
    setCurrentIndex(value - 1);
}

void LPopupButton::SetDescriptor(const QString& text) {
    const int index = findText(text);
    if (index >= 0) setCurrentIndex(index);
}
