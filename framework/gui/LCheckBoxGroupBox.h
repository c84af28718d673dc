// A group box with a check box in its title: its value is the check box,
// and the panes inside it are enabled only while it is checked.
#pragma once

#include <QGroupBox>

#include "framework/gui/LControl.h"

class LCheckBoxGroupBox : public QGroupBox, public LControl {
    Q_OBJECT

public:
    explicit LCheckBoxGroupBox(QWidget* parent = nullptr);

    int32_t GetValue() const override { return isChecked() ? 1 : 0; }
    void SetValue(int32_t value) override { setChecked(value != 0); }
    QString GetDescriptor() const override { return title(); }
    void SetDescriptor(const QString& text) override { setTitle(text); }
};
