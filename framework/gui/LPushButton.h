// A push button: a click broadcasts its value message (its pane ID, or the
// "message" property, e.g. 900 for OK and 901 for Cancel in dialogs). A
// button whose layout gives a "command" (four characters or a number)
// sends that command to the commander chain instead, like its menu item.
#pragma once

#include <QPushButton>

#include "framework/gui/LControl.h"

class LPushButton : public QPushButton, public LControl {
    Q_OBJECT
    // A one-colour picture shown in the palette's button text colour.
    Q_PROPERTY(QString paletteIcon READ PaletteIconFile WRITE SetPaletteIconFile)

public:
    explicit LPushButton(QWidget* parent = nullptr);

    QString PaletteIconFile() const { return mPaletteIconFile; }
    void SetPaletteIconFile(const QString& file);

    int32_t GetValue() const override { return 0; }
    void SetValue(int32_t) override {}
    QString GetDescriptor() const override { return text(); }
    void SetDescriptor(const QString& title) override { setText(title); }

private:
    QString mPaletteIconFile;
};
