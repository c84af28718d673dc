// One pane of the four-up comparison: the preview's current frame through
// a filter and a video codec chosen for this pane alone (dropped codec and
// effect presets), drawn with the document's crop, flips, rotation and
// watermark at the preview's zoom, with the codec's name and compressed
// size and the filter's name underneath.
#pragma once

#include <QImage>
#include <QPoint>
#include <memory>
#include <string>

#include "fourup/FourUpView.h"
#include "framework/Handle.h"
#include "framework/LBroadcaster.h"
#include "framework/LListener.h"
#include "framework/gui/CDelayedReceiver.h"
#include "model/CObserver.h"
#include "platform/media/OffscreenWorld.h"
#include "preview/PreviewGeometry.h"
#include "preview/WatermarkOverlay.h"

class CMoviePreview;
class CTambleVideoDocModel;

// Border round the picture and the label band under it.
constexpr int kFourUpBorder = 8;
constexpr int kFourUpLabelBand = 27;

class CodecFourUp : public FourUpView, public CDelayedReceiver, public CObserver, public LListener,
                    public LBroadcaster {
    Q_OBJECT

public:
    static constexpr OSType kClassID = FourCC("cPRV");

    explicit CodecFourUp(QWidget* parent = nullptr);
    ~CodecFourUp() override;

    bool ReceiveDropItem(Handle& data, OSType flavor, QPoint dropPoint, int32_t extra) override;
    void SetModel(CTambleVideoDocModel* model);
    void Update(OSType senderKind, int32_t changeCode, void* arg1, int32_t arg2, int32_t arg3,
                int32_t arg4) override;
    void OnMessage(MessageT message, void* parameter) override;
    void SetMoviePreview(CMoviePreview* preview);

    // ---- Geometry (pure) ----
    // The pane's zoom for the preview's stored zoom (0 is fit).
    static double PaneZoom(double previewZoom, QSize frame, const CropRect& crop);
    static QSize ImageSizeFor(double previewZoom, QSize frame, const CropRect& crop);
    double GetPaneZoom() const;
    CropRect GetCrop() const;

    // ---- The rendered frame ----
    // Builds or rebuilds the pane world and renders when needed (done at
    // the start of every draw).
    void UpdatePaneWorld();
    // Copies the preview's source frame and renders it with filter, codec.
    void CopyAndRender();
    const OffscreenWorld* GetPaneWorld() const { return mPaneWorld.get(); }
    int32_t GetCompressedSize() const { return mCompressedSize; }
    bool NeedsRender() const { return mNeedsRender; }
    const Handle& GetCodecSetting() const { return mCodecSetting; }
    const Handle& GetFilterSetting() const { return mFilterSetting; }
    // The two label lines.
    std::string CodecLabel() const;
    std::string FilterLabel() const;

protected:
    void FinishCreateSelf() override;
    void DrawSelf() override;
    void ClickSelf(const SViewMouse& mouse) override;
    void TrackMouseSelf(const SViewMouse& mouse) override;
    void ReleaseMouseSelf(const SViewMouse& mouse) override;
    void ScrollBits(int32_t dx, int32_t dy) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool BuildPaneWorld();
    void DisposePaneWorld();
    void RecomputeImageSize();
    bool ReadSettingsFile(const Handle& data, Handle& out) const;
    void DrawPicture(const QRegion& clip);
    void DrawLabels();

    bool mNeedsRender = false;
    CTambleVideoDocModel* mModel = nullptr;
    CMoviePreview* mMoviePreview = nullptr;
    std::unique_ptr<OffscreenWorld> mPaneWorld;
    int32_t mCompressedSize = 0;
    Handle mCodecSetting;   // null: no codec
    Handle mFilterSetting;  // null: no filter
    QRect mFrameAtBuild;
    WatermarkOverlay mWatermark;

    OffscreenWorld mDecoded;  // reused for every decompression
    QPoint mLastMouse;
    bool mScrolling = false;
};
