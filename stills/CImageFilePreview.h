// The image well: shows one image file (the watermark picture), takes a
// dropped file, clears on Delete, Escape or Backspace, and broadcasts
// 'IPch' whenever the user changes the file.
#pragma once

#include "framework/LBroadcaster.h"
#include "framework/gui/CDelayedReceiver.h"
#include "framework/gui/LCommander.h"
#include "framework/gui/LView.h"
#include "platform/media/FSSpec.h"
#include "platform/media/Rect.h"

constexpr MessageT msg_ImageFileChanged = MessageT(FourCC("IPch"));

class CImageFilePreview : public LView, public CDelayedReceiver, public LBroadcaster, public LCommander {
    Q_OBJECT

public:
    static constexpr OSType kClassID = FourCC("Prvw");

    explicit CImageFilePreview(QWidget* parent = nullptr);
    ~CImageFilePreview() override;

    // Shows this file (an empty name shows nothing) and redraws at once.
    void SetImageFile(const FSSpec& file);
    const FSSpec& GetImageFile() const { return mFile; }
    Rect GetNaturalBounds() const { return mNaturalBounds; }
    Rect GetPictureRect() const { return mPictureRect; }

    bool ReceiveDropItem(Handle& data, OSType flavor, QPoint dropPoint, int32_t extra) override;

protected:
    bool HandleKeyPress(const QKeyEvent& key) override;
    void DrawSelf() override;
    void ClickSelf(const SViewMouse& mouse) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void DrawPicture();
    void UserChangedFile();

    Rect mNaturalBounds;
    Rect mPictureRect;
    FSSpec mFile;
};
