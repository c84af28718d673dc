// A progress bar whose value is the percentage shown (0 to 100).
#pragma once

#include <QProgressBar>

#include "framework/gui/LControl.h"

class LProgressBar : public QProgressBar, public LControl {
    Q_OBJECT

public:
    explicit LProgressBar(QWidget* parent = nullptr);

    int32_t GetValue() const override { return value(); }
    void SetValue(int32_t percent) override;
};
