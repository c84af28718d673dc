// A line of text; its value is the text read as a number.
#pragma once

#include <QLabel>

#include "framework/gui/LControl.h"

class LStaticText : public QLabel, public LControl {
    Q_OBJECT

public:
    explicit LStaticText(QWidget* parent = nullptr);

    int32_t GetValue() const override { return text().toInt(); }
    void SetValue(int32_t value) override { setText(QString::number(value)); }
    QString GetDescriptor() const override { return text(); }
    void SetDescriptor(const QString& value) override { setText(value); }
};
