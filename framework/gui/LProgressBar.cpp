#include "framework/gui/LProgressBar.h"

#include <algorithm>

LProgressBar::LProgressBar(QWidget* parent) : QProgressBar(parent), LControl(this) {
    setRange(0, 100);
    setValue(0);
    setTextVisible(true);
}

void LProgressBar::SetValue(int32_t percent) {
    const int32_t clamped = std::clamp(percent, 0, 100);
    if (clamped == value()) return;
    setValue(clamped);
    BroadcastValueMessage();
}
