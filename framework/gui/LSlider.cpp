#include "framework/gui/LSlider.h"

LSlider::LSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent), LControl(this) {
    // Without tracking the value only moves when a drag ends, so the
    // listeners are not flooded with every position of one drag.
    setTracking(false);
    connect(this, &QSlider::valueChanged, this, [this] { BroadcastValueMessage(); });
}
