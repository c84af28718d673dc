// The preview pane of a document window, without its pictures: layout and
// zoom, the split before/after display with its divider, the crop
// rectangle and its mouse editing, cursor feedback, the watermark laid over
// the crop area, the six crop edit fields, model observation and the drop
// of a watermark file ('Vthm'). CMoviePreview supplies the frames.
//
// Coordinates: the picture sits 9 pixels inside the view's image; crop
// values are pixels of the displayed (rotated) picture.
#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>

#include "framework/LListener.h"
#include "framework/gui/CDelayedReceiver.h"
#include "framework/gui/LView.h"
#include "model/CObserver.h"
#include "platform/media/image/ImageFileReader.h"
#include "preview/PreviewGeometry.h"
#include "preview/WatermarkOverlay.h"

class CTambleVideoDocModel;
class StDrawingContext;

// Messages of the preview's controls.
constexpr MessageT msg_ReleasePreviewImages = 801;
constexpr MessageT msg_Zoom100 = MessageT(FourCC("100p"));
constexpr MessageT msg_Zoom200 = MessageT(FourCC("200p"));
constexpr MessageT msg_Zoom50 = MessageT(FourCC("50pc"));
constexpr MessageT msg_ZoomFit = MessageT(FourCC("FITT"));
constexpr MessageT msg_PreviewTabs = MessageT(FourCC("PREV"));

class CMediaPreview : public LView, public LListener, public CObserver, public CDelayedReceiver {
    Q_OBJECT

public:
    explicit CMediaPreview(QWidget* parent = nullptr);
    ~CMediaPreview() override;

    // ---- The pane's operations ----
    void OnMessage(MessageT message, void* parameter) override;
    // Draw the frame into imageRect (view image coordinates) within clip;
    // with a scaled crop rectangle only the cropped part is shown.
    virtual void DrawBeforeImage(const QRect& imageRect, const QRegion& clip, const QRect* scaledCrop) = 0;
    virtual void DrawAfterImage(const QRect& imageRect, const QRegion& clip, const QRect* scaledCrop) = 0;
    virtual void SetModel(CTambleVideoDocModel* model);
    void Update(OSType senderKind, int32_t changeCode, void* arg1, int32_t arg2, int32_t arg3,
                int32_t arg4) override;
    virtual double GetEffectiveZoom() const;
    virtual double GetZoom() const { return mZoom; }
    virtual int32_t GetBorderWidth() const { return kPreviewBorder; }
    // The picture at the current time; none here.
    virtual std::unique_ptr<OffscreenWorld> GetCurrentPicture() { return nullptr; }
    bool ReceiveDropItem(Handle& data, OSType flavor, QPoint dropPoint, int32_t extra) override;
    virtual bool ShowsCropHandles() const { return true; }
    virtual void RecalcAndRefresh();
    virtual void ReleaseAfterImage() = 0;
    virtual void ReleaseAfterBuffers() = 0;
    virtual void ReleaseImages() = 0;

    // The document window's output width and height fields (or nulls).
    void SetCropDisplayPanes(QWidget* cropWidthPane, QWidget* cropHeightPane);

    // ---- State, for the window and for tests ----
    CTambleVideoDocModel* GetModel() const { return mModel; }
    bool GetShowCompression() const { return mShowCompression; }
    bool GetShowFilters() const { return mShowFilters; }
    bool IsSplit() const { return mShowCompression || mShowFilters; }
    int32_t GetSplitPosition() const { return mSplitPosition; }
    // The divider's x in image coordinates, and its middle line.
    int32_t GetDividerX() const;
    int32_t GetDividerMiddle() const;
    // The picture's rectangle in the view's image (the before picture in
    // split mode).
    QRect GetImageRect() const;
    // The crop as the model has it, or as it is being dragged.
    CropRect GetCrop() const;
    bool IsDraggingCrop() const { return mDrag == Drag::Crop; }
    int32_t HitTestCrop(QPoint imagePoint) const;
    const ImageFileReader* GetWatermarkReader() const { return mWatermark.Reader(); }

protected:
    void FinishCreateSelf() override;
    void DrawSelf() override;
    void ClickSelf(const SViewMouse& mouse) override;
    void TrackMouseSelf(const SViewMouse& mouse) override;
    void ReleaseMouseSelf(const SViewMouse& mouse) override;
    void AdjustMouseSelf(const SViewMouse& mouse) override;
    void FrameResized() override;
    void ScrollBits(int32_t dx, int32_t dy) override;

    // Lays the watermark over the crop area (view image coordinates).
    void DrawWatermark(const QRect& cropArea, const QRegion& clip);
    // The crop-size panes and the six edit fields; now: redraw them at once.
    void FieldDisplay(const CropRect& crop, bool now);
    void FieldDisplay() { FieldDisplay(GetCrop(), false); }
    void RecalcImageSize();
    void DiscardWatermark() { mWatermark.Discard(); }

    int32_t DisplayWidth() const;
    int32_t DisplayHeight() const;
    // Half the frame's width, rounded half up.
    int32_t HalfFrameWidth() const;

    CTambleVideoDocModel* mModel = nullptr;

private:
    enum class Drag { None, HandScroll, Divider, Crop };

    void SetZoom(double zoom);
    void ShowZoomChoice();
    void ChooseTab(int32_t tab);
    void ShowCaptions(bool show);
    void DrawCropFrame(StDrawingContext& context, const QRegion& clip);
    void DrawDivider(StDrawingContext& context);
    void DrawDragOutline(StDrawingContext& context);
    QRect ScaledCropRect(const CropRect& crop) const;
    void UpdateFieldValue(QWidget* pane, int32_t value, bool now);

    WatermarkOverlay mWatermark;
    bool mShowCompression = false;
    bool mShowFilters = false;
    double mZoom = 1.0;
    int32_t mSplitPosition = 128;
    QPointer<QWidget> mCropWidthPane;
    QPointer<QWidget> mCropHeightPane;
    std::array<QPointer<QWidget>, 6> mFields;  // iWID iHIG iLFT iTOP iRGT iBOT

    // Mouse tracking.
    Drag mDrag = Drag::None;
    QPoint mDragAnchor;        // image coordinates (frame coordinates when scrolling by hand)
    int32_t mDragHitCode = kHitNone;
    CropRect mDragCrop;
    int32_t mDividerLine = 0;  // the dragged divider, image x
};
