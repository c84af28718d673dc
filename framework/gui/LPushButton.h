// A push button: a click broadcasts its value message (its pane ID, or the
// "message" property, e.g. 900 for OK and 901 for Cancel in dialogs). A
// button whose layout gives a "command" (four characters or a number)
// sends that command to the commander chain instead, like its menu item.
#pragma once

#include <QPushButton>

#include "framework/gui/LControl.h"

class LPushButton : public QPushButton, public LControl {
    Q_OBJECT

public:
    explicit LPushButton(QWidget* parent = nullptr);

    int32_t GetValue() const override { return 0; }
    void SetValue(int32_t) override {}
    QString GetDescriptor() const override { return text(); }
    void SetDescriptor(const QString& title) override { setText(title); }
};
