// Check box control: value 1 when checked, 0 when not.
#pragma once

#include <QCheckBox>

#include "framework/gui/LControl.h"

class LCheckBox : public QCheckBox, public LControl {
    Q_OBJECT

public:
    explicit LCheckBox(QWidget* parent = nullptr);

    int32_t GetValue() const override { return isChecked() ? 1 : 0; }
    void SetValue(int32_t value) override { setChecked(value != 0); }
    QString GetDescriptor() const override { return text(); }
    void SetDescriptor(const QString& title) override { setText(title); }
};
