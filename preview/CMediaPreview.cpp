#include "preview/CMediaPreview.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <cstring>

#include "framework/gui/LControl.h"
#include "framework/gui/LMultiPanelView.h"
#include "framework/gui/LPane.h"
#include "model/CTambleVideoDocModel.h"
#include "model/SChangeInfo.h"

namespace {
constexpr PaneIDT kFieldIDs[6] = {PaneIDT(FourCC("iWID")), PaneIDT(FourCC("iHIG")), PaneIDT(FourCC("iLFT")),
                                  PaneIDT(FourCC("iTOP")), PaneIDT(FourCC("iRGT")), PaneIDT(FourCC("iBOT"))};
constexpr PaneIDT kZoomButtons[4] = {PaneIDT(FourCC("FITT")), PaneIDT(FourCC("50pc")), PaneIDT(FourCC("100p")),
                                     PaneIDT(FourCC("200p"))};
constexpr PaneIDT kBeforeCaption = PaneIDT(FourCC("BEFO"));
constexpr PaneIDT kAfterCaption = PaneIDT(FourCC("AFTE"));
constexpr PaneIDT kMultiPanel = PaneIDT(FourCC("mul4"));
}  // namespace

CMediaPreview::CMediaPreview(QWidget* parent) : LView(parent), CDelayedReceiver(this) {
    AcceptedFlavors().Append(kFlavorThumbnail);
    setMinimumSize(64, 64);
}

CMediaPreview::~CMediaPreview() {
    DetachFromAll();
    DiscardWatermark();
}

// ---- Construction ----

void CMediaPreview::FinishCreateSelf() {
    QWidget* root = window();
    LControl* tabs = FindRequiredPane<LControl>(root, msg_PreviewTabs);
    tabs->Attach(this);
    for (PaneIDT id : kZoomButtons)
        if (LControl* button = FindPaneByID<LControl>(root, id)) button->Attach(this);
    ShowZoomChoice();
    if (auto* panels = FindPaneByID<LMultiPanelView>(root, kMultiPanel)) {
        panels->SwitchToPanel(3, false);
        panels->SwitchToPanel(2, false);
        panels->SwitchToPanel(1, false);
    }
    for (size_t i = 0; i < mFields.size(); ++i) mFields[i] = FindPaneByID<QWidget>(root, kFieldIDs[i]);
}

void CMediaPreview::SetCropDisplayPanes(QWidget* cropWidthPane, QWidget* cropHeightPane) {
    mCropWidthPane = cropWidthPane;
    mCropHeightPane = cropHeightPane;
    if (mModel == nullptr) return;
    const CropRect crop = GetCrop();
    UpdateFieldValue(mCropWidthPane, crop.Width(), false);
    UpdateFieldValue(mCropHeightPane, crop.Height(), false);
}

// ---- Model ----

void CMediaPreview::SetModel(CTambleVideoDocModel* model) {
    DiscardWatermark();
    if (mModel != model) DetachFromAll();
    mModel = model;
    if (mModel != nullptr) Observe(mModel);
    RecalcImageSize();
    FieldDisplay();
    if (mShowCompression) {
        ReleaseAfterImage();
        Refresh();
    }
    if (mShowFilters) {
        ReleaseAfterBuffers();
        Refresh();
    }
}

void CMediaPreview::Update(OSType senderKind, int32_t code, void*, int32_t, int32_t, int32_t) {
    if (senderKind != kSenderDocModel) return;
    switch (code) {
        case kChangeRefreshFromSource:
            SetModel(mModel);
            break;
        case kChangeRotation:
        case kChangeFlipHorizontal:
        case kChangeFlipVertical:
        case kChangeSourceFile:
            RecalcAndRefresh();
            FieldDisplay();
            break;
        case kChangeCrop:
            FieldDisplay();
            break;
        case kChangeWatermarkFile:
            DiscardWatermark();
            Refresh();
            break;
        case kChangeConstrainProportions:
        case kChangeStop:
            Refresh();
            break;
        case kChangeOutputWidth:
        case kChangeOutputHeight:
        case kChangeCustomSize:
            if (mWatermark.Reader() != nullptr) {
                DiscardWatermark();
                Refresh();
            }
            break;
        case kChangeFilterAdded:
        case kChangeFilterRemoved:
        case kChangeFilterChanged:
        case kChangeSegmentAdded:
        case kChangeVideoSegments:
        case kChangeVideoSegmentChanged:
        case kChangeUnused10021:
        case kChangeUnused10022:
        case kChangeExcludedRanges:
            if (mShowCompression) {
                ReleaseAfterImage();
                Refresh();
            }
            if (mShowFilters) {
                ReleaseAfterBuffers();
                Refresh();
            }
            if (IsSplit()) Refresh();
            break;
        default:
            break;
    }
}

// ---- Messages ----

void CMediaPreview::OnMessage(MessageT message, void* parameter) {
    switch (message) {
        case msg_ReleasePreviewImages:
            ReleaseImages();
            break;
        case msg_Zoom100: SetZoom(1.0); break;
        case msg_Zoom200: SetZoom(2.0); break;
        case msg_Zoom50: SetZoom(0.5); break;
        case msg_ZoomFit: SetZoom(0.0); break;
        case msg_PreviewTabs:
            if (parameter != nullptr) ChooseTab(*static_cast<int32_t*>(parameter));
            break;
        default:
            break;
    }
}

void CMediaPreview::SetZoom(double zoom) {
    mZoom = zoom;
    // Fit never needs a vertical scroll bar; one would only shrink the frame
    // the picture was fitted to.
    setVerticalScrollBarPolicy(zoom == 0.0 ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    if (mModel != nullptr) RecalcImageSize();
    Refresh();
    UpdatePort();
    ShowZoomChoice();
}

// The zoom buttons stay pressed for the zoom in use.
void CMediaPreview::ShowZoomChoice() {
    constexpr double kZooms[4] = {0.0, 0.5, 1.0, 2.0};
    for (size_t i = 0; i < std::size(kZoomButtons); ++i) {
        auto* button = FindPaneByID<QAbstractButton>(window(), kZoomButtons[i]);
        if (button == nullptr) continue;
        button->setCheckable(true);
        button->setChecked(mZoom == kZooms[i]);
    }
}

void CMediaPreview::ChooseTab(int32_t tab) {
    bool compression = mShowCompression, filters = mShowFilters;
    switch (tab) {
        case 1: compression = false; filters = false; break;
        case 2: compression = false; filters = true; break;
        case 3: compression = true; filters = true; break;
        default: break;  // 4 (the four-up panel) keeps the mode
    }
    ShowCaptions(tab == 2 || tab == 3);
    if (compression == mShowCompression && filters == mShowFilters) return;
    mShowCompression = compression;
    mShowFilters = filters;
    ReleaseAfterImage();
    ReleaseAfterBuffers();
    RecalcAndRefresh();
}

void CMediaPreview::ShowCaptions(bool show) {
    QWidget* root = window();
    for (PaneIDT id : {kBeforeCaption, kAfterCaption})
        if (QWidget* caption = FindPaneByID<QWidget>(root, id)) caption->setVisible(show);
}

// ---- Layout ----

int32_t CMediaPreview::DisplayWidth() const { return mModel ? mModel->GetDisplayWidth() : 0; }
int32_t CMediaPreview::DisplayHeight() const { return mModel ? mModel->GetDisplayHeight() : 0; }
int32_t CMediaPreview::HalfFrameWidth() const { return (GetFrameSize().width() + 1) / 2; }

void CMediaPreview::RecalcAndRefresh() {
    if (mModel != nullptr) RecalcImageSize();
    Refresh();
}

void CMediaPreview::RecalcImageSize() {
    if (mModel == nullptr) return;
    const int32_t W = DisplayWidth(), H = DisplayHeight();
    const int32_t border2 = 2 * kPreviewBorder;
    double scale = 1.0;
    int32_t w = W, h = H;
    if (mZoom == 0.0) {
        const QSize frame = GetFrameSize();
        const FitResult fit = FitPictureInFrame(W, H, frame.width(), frame.height());
        w = fit.width;
        h = fit.height;
        scale = fit.scale;
    } else {
        scale = GetEffectiveZoom();
        w = RoundToInt(W * scale);
        h = RoundToInt(H * scale);
    }
    SetImageSize(w + border2, h + border2, false);
    if (IsSplit()) {
        const CropRect crop = GetCrop();
        SetImageSize(RoundToInt(crop.Width() * scale) + border2 + HalfFrameWidth(),
                     RoundToInt(crop.Height() * scale) + border2, false);
    }
}

double CMediaPreview::GetEffectiveZoom() const {
    if (mZoom != 0.0 || mModel == nullptr || DisplayWidth() <= 0) return mZoom;
    int32_t width = GetImageSize().width() - 2 * kPreviewBorder;
    if (IsSplit()) width -= HalfFrameWidth();
    return double(width) / double(DisplayWidth());
}

void CMediaPreview::FrameResized() {
    RecalcAndRefresh();
}

QRect CMediaPreview::GetImageRect() const {
    const QSize image = GetImageSize();
    int32_t width = image.width() - 2 * kPreviewBorder;
    if (IsSplit()) width -= HalfFrameWidth();
    return QRect(kPreviewBorder, kPreviewBorder, std::max(0, width),
                 std::max(0, image.height() - 2 * kPreviewBorder));
}

int32_t CMediaPreview::GetDividerX() const {
    const QRect frame = CalcLocalFrameRect();
    return frame.left() + int32_t(int64_t(frame.width()) * mSplitPosition / 256);
}

int32_t CMediaPreview::GetDividerMiddle() const {
    const int32_t divider = GetDividerX();
    // (divider + divider - 2) / 2, rounded half up.
    return (2 * divider - 2 + 1) / 2;
}

CropRect CMediaPreview::GetCrop() const {
    if (mDrag == Drag::Crop) return mDragCrop;
    if (mModel == nullptr) return {};
    return CropRect{mModel->GetCropLeft(), mModel->GetCropTop(), mModel->GetCropRight(), mModel->GetCropBottom()};
}

QRect CMediaPreview::ScaledCropRect(const CropRect& crop) const {
    const double zoom = GetEffectiveZoom();
    const int l = RoundToInt(crop.left * zoom), t = RoundToInt(crop.top * zoom);
    const int r = RoundToInt(crop.right * zoom), b = RoundToInt(crop.bottom * zoom);
    return QRect(l, t, r - l, b - t);
}

int32_t CMediaPreview::HitTestCrop(QPoint imagePoint) const {
    if (mModel == nullptr) return kHitNone;
    return CropHitTest(GetCrop(), imagePoint, GetEffectiveZoom(), mModel->GetAspectRatio() == 0.0f);
}

// In split mode each half scrolls on its own so that the divider stays.
void CMediaPreview::ScrollBits(int32_t dx, int32_t dy) {
    if (!IsSplit() || mModel == nullptr) {
        LView::ScrollBits(dx, dy);
        return;
    }
    const QRect frame(QPoint(0, 0), GetFrameSize());
    const int32_t divider = int32_t(int64_t(frame.width()) * mSplitPosition / 256);
    const QRect left(0, 0, std::max(0, divider - 2), frame.height());
    const QRect right(divider, 0, std::max(0, frame.width() - divider), frame.height());
    viewport()->scroll(dx, dy, left);
    viewport()->scroll(dx, dy, right);
    // The gap with the divider lines is drawn again in its place.
    viewport()->update(QRect(std::max(0, divider - 2), 0, 2, frame.height()));
}

// ---- Fields ----

void CMediaPreview::UpdateFieldValue(QWidget* pane, int32_t value, bool now) {
    if (pane == nullptr) return;
    bool changed = false;
    if (auto* control = dynamic_cast<LControl*>(pane)) {
        if (control->GetValue() != value) {
            StQuietControl quiet(control);
            control->SetValue(value);
            changed = true;
        }
    } else if (auto* spin = qobject_cast<QSpinBox*>(pane)) {
        if (spin->value() != value) {
            const QSignalBlocker block(spin);
            spin->setValue(value);
            changed = true;
        }
    } else if (auto* edit = qobject_cast<QLineEdit*>(pane)) {
        const QString text = QString::number(value);
        if (edit->text() != text) {
            edit->setText(text);
            changed = true;
        }
    } else if (auto* label = qobject_cast<QLabel*>(pane)) {
        const QString text = QString::number(value);
        if (label->text() != text) {
            label->setText(text);
            changed = true;
        }
    }
    if (changed && now) pane->repaint();
}

void CMediaPreview::FieldDisplay(const CropRect& crop, bool now) {
    if (mModel == nullptr) return;
    UpdateFieldValue(mCropWidthPane, crop.Width(), now);
    UpdateFieldValue(mCropHeightPane, crop.Height(), now);
    const int32_t values[6] = {mModel->GetSourceWidth(), mModel->GetSourceHeight(), crop.left, crop.top,
                               crop.right, crop.bottom};
    for (size_t i = 0; i < mFields.size(); ++i) UpdateFieldValue(mFields[i], values[i], now);
}

// ---- Drop ----

bool CMediaPreview::ReceiveDropItem(Handle& data, OSType flavor, QPoint, int32_t) {
    if (flavor != kFlavorThumbnail || mModel == nullptr || data.Size() < sizeof(FSSpec)) return false;
    FSSpec spec;
    std::memcpy(&spec, data.Data(), sizeof spec);
    if (spec.name[0] == 0) return false;
    mModel->SetWatermarkFile(spec);
    return false;  // the reference was copied; the block can go
}
