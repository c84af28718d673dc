// A numeric edit field. It broadcasts when the user has finished an edit
// (Return, leaving the field, the arrows), not when the program sets its
// value: other panes drive such fields while the document listens to them.
#pragma once

#include <QSpinBox>

#include "framework/gui/LControl.h"

class LEditField : public QSpinBox, public LControl {
    Q_OBJECT

public:
    explicit LEditField(QWidget* parent = nullptr);

    int32_t GetValue() const override { return value(); }
    void SetValue(int32_t value) override;
    QString GetDescriptor() const override { return text(); }
    void SetDescriptor(const QString& text) override { SetValue(text.toInt()); }

private:
    bool mSettingValue = false;
};
