// A push button drawn from picture 7000 (its shape) filled with a state
// colour: blue when usable, grey when disabled or in a window in the
// background, darker while pressed; the title centred on it. Releasing the
// mouse inside broadcasts the value message; outside, nothing.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QImage>

#include "framework/FourCharCode.h"
#include "framework/gui/LControl.h"

class CJellyButton : public QAbstractButton, public LControl {
    Q_OBJECT
    Q_PROPERTY(int textTraits READ TextTraits WRITE SetTextTraits)
    Q_PROPERTY(int titleLift READ TitleLift WRITE SetTitleLift)

public:
    static constexpr OSType kClassID = FourCC("JELY");
    static constexpr int16_t kShapePicture = 7000;
    static constexpr int32_t kUsableColour = 2;
    static constexpr int32_t kUnusableColour = 5;

    explicit CJellyButton(QWidget* parent = nullptr);

    int32_t GetValue() const override { return 0; }
    void SetValue(int32_t) override {}
    QString GetDescriptor() const override { return text(); }
    void SetDescriptor(const QString& title) override { setText(title); }

    int TextTraits() const { return mTextTraits; }
    void SetTextTraits(int traits) { mTextTraits = int16_t(traits); update(); }
    int TitleLift() const { return mTitleLift; }
    void SetTitleLift(int lift) { mTitleLift = int16_t(lift); update(); }

    bool IsPressed() const { return isDown(); }
    // 2 when enabled in an active window, 5 otherwise (as last drawn).
    int32_t ColourIndex() const { return mColourIndex; }
    // The fill colour for an index, halved while pressed.
    static QColor StateColour(int32_t colourIndex, bool pressed);
    static QColor DisabledTitleColour() { return QColor(128, 128, 128); }

    // The button as it looks now, without the window behind it.
    QImage Compose();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Panes hear of their window's activation through these events.
    bool event(QEvent* event) override;

private:
    int32_t CurrentColourIndex() const;

    int32_t mColourIndex = kUnusableColour;
    int16_t mTextTraits = 0;
    int16_t mTitleLift = 0;
};
