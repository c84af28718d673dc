#include "framework/gui/LCheckBoxGroupBox.h"

LCheckBoxGroupBox::LCheckBoxGroupBox(QWidget* parent) : QGroupBox(parent), LControl(this) {
    setCheckable(true);
    setChecked(false);
    connect(this, &QGroupBox::toggled, this, [this] { BroadcastValueMessage(); });
}
