#include "framework/gui/LCheckBox.h"

LCheckBox::LCheckBox(QWidget* parent) : QCheckBox(parent), LControl(this) {
    connect(this, &QCheckBox::toggled, this, [this] { BroadcastValueMessage(); });
}
