#include "framework/gui/LStaticText.h"

LStaticText::LStaticText(QWidget* parent) : QLabel(parent), LControl(this) {
    setTextInteractionFlags(Qt::NoTextInteraction);
}
