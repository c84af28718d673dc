// A popup menu of choices (a combo box). Its value is the 1-based index of
// the chosen item, 0 when there is none; it broadcasts its value message
// when the user or SetValue picks another item.
#pragma once

#include <QComboBox>

#include "framework/gui/LControl.h"

class LPopupButton : public QComboBox, public LControl {
    Q_OBJECT

public:
    explicit LPopupButton(QWidget* parent = nullptr);

    int32_t GetValue() const override { return currentIndex() + 1; }
    // Values outside 1 ... count are ignored.
    void SetValue(int32_t value) override;
    // The chosen item's text; setting it chooses the first item with that text.
    QString GetDescriptor() const override { return currentText(); }
    void SetDescriptor(const QString& text) override;
};
