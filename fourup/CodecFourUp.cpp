#include "fourup/CodecFourUp.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "appearance/AppearanceTables.h"
#include "appearance/CAppearance.h"
#include "appearance/StDrawingContext.h"
#include "catalogs/CompressionSettingsEditing.h"
#include "catalogs/PresetFile.h"
#include "fourup/CSyncronizedFourUp.h"
#include "framework/gui/DragFlavors.h"
#include "framework/gui/LControl.h"
#include "model/CTambleVideoDocModel.h"
#include "model/OutputTransform.h"
#include "model/SChangeInfo.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/encode/StillImageCompressor.h"
#include "platform/media/image/ImageFileReader.h"
#include "preview/CMediaPreview.h"
#include "preview/CMoviePreview.h"
#include "preview/QtMatrix.h"
#include "resources/StringLists.h"

namespace {
constexpr int16_t kLabelList = 1002;
constexpr int16_t kCommaItem = 22;
constexpr int16_t kSizeItem = 24;
constexpr int16_t kNoCodecItem = 25;
constexpr int16_t kNoFilterItem = 26;
constexpr OSType kDescriptionText = FourCC("Edsc");
constexpr int16_t kHandScrollCursor = 7;
constexpr int16_t kArrowCursor = 0;
constexpr int16_t kFrameColor = 33;

Rect ToRect(const QRect& r) { return MakeRect(r.left(), r.top(), r.width(), r.height()); }

// The name of a preset file: after the last "/", before the last ".".
std::string PresetName(const FSSpec& file) { return file.FileName(false); }
}  // namespace

CodecFourUp::CodecFourUp(QWidget* parent) : FourUpView(parent), CDelayedReceiver(this) {
    AcceptedFlavors().Append(kFlavorVideoCodec);
    AcceptedFlavors().Append(kFlavorEffect);
}

CodecFourUp::~CodecFourUp() { DetachFromAll(); }

// The pane follows the preview's zoom buttons.
void CodecFourUp::FinishCreateSelf() {
    QWidget* root = window();
    for (MessageT id : {msg_ZoomFit, msg_Zoom50, msg_Zoom100, msg_Zoom200})
        if (LControl* button = FindPaneByID<LControl>(root, PaneIDT(id))) button->Attach(this);
}

// ---- Geometry ----

double CodecFourUp::PaneZoom(double previewZoom, QSize frame, const CropRect& crop) {
    if (previewZoom != 0.0) return previewZoom;
    if (crop.Width() <= 0 || crop.Height() <= 0) return 1.0;
    return std::min(double(frame.width() - kFourUpBorder) / crop.Width(),
                    double(frame.height() - kFourUpBorder - kFourUpLabelBand) / crop.Height());
}

QSize CodecFourUp::ImageSizeFor(double previewZoom, QSize frame, const CropRect& crop) {
    if (previewZoom == 0.0) return frame;
    return QSize(RoundToInt(crop.Width() * previewZoom + kFourUpBorder),
                 RoundToInt(crop.Height() * previewZoom + kFourUpBorder + kFourUpLabelBand));
}

CropRect CodecFourUp::GetCrop() const {
    if (mModel == nullptr) return {};
    CropRect crop{mModel->GetCropLeft(), mModel->GetCropTop(), mModel->GetCropRight(), mModel->GetCropBottom()};
    // An open crop edge stands for the picture's edge.
    crop.right = std::min(crop.right, mModel->GetDisplayWidth());
    crop.bottom = std::min(crop.bottom, mModel->GetDisplayHeight());
    return crop;
}

double CodecFourUp::GetPaneZoom() const {
    if (mModel == nullptr || mMoviePreview == nullptr) return 1.0;
    return PaneZoom(mMoviePreview->GetZoom(), GetFrameSize(), GetCrop());
}

void CodecFourUp::RecomputeImageSize() {
    if (mModel == nullptr || mMoviePreview == nullptr) return;
    const QSize size = ImageSizeFor(mMoviePreview->GetZoom(), GetFrameSize(), GetCrop());
    SetImageSize(size.width(), size.height(), false);
}

// ---- Model, preview, messages ----

void CodecFourUp::SetModel(CTambleVideoDocModel* model) {
    mWatermark.Discard();
    if (mModel != nullptr && model != mModel) DetachFromAll();
    mModel = model;
    if (mModel != nullptr) Observe(mModel);
    mNeedsRender = true;
    Refresh();
}

void CodecFourUp::SetMoviePreview(CMoviePreview* preview) {
    mMoviePreview = preview;
    DisposePaneWorld();
    Refresh();
}

void CodecFourUp::Update(OSType senderKind, int32_t changeCode, void*, int32_t, int32_t, int32_t) {
    if (senderKind != kSenderDocModel) return;
    switch (changeCode) {
        case kChangeRefreshFromSource:
        case kChangeRotation:
        case kChangeFlipHorizontal:
        case kChangeFlipVertical:
        case kChangeStop:
        case kChangeCurrentTime:
            mNeedsRender = true;
            if (isVisible()) {
                ScrollImageTo(0, 0, true);
                Refresh();
            }
            break;
        case kChangeCrop:
            // The picture is the whole frame; only its placement changes.
            if (isVisible()) {
                RecomputeImageSize();
                Refresh();
            }
            break;
        case kChangeWatermarkFile:
            mWatermark.Discard();
            Refresh();
            break;
        default:
            break;
    }
}

void CodecFourUp::OnMessage(MessageT message, void*) {
    if (message != msg_Zoom100 && message != msg_Zoom200 && message != msg_Zoom50 && message != msg_ZoomFit)
        return;
    ScrollImageTo(0, 0, false);
    RecomputeImageSize();
    Refresh();
}

// ---- Drops ----

bool CodecFourUp::ReadSettingsFile(const Handle& data, Handle& out) const {
    if (data.Size() != kFileRecordSize) return false;
    FSSpec file;
    std::memcpy(&file, data.Data() + kFileRecordPrefixSize, sizeof file);
    if (!file.IsSet() || !ReadPresetFile(file, out)) return false;
    // The file's name becomes the setting's description.
    AtomContainer container;
    if (AtomContainer::TryParse(out, container)) {
        container.Root().RemoveChildren(kDescriptionText);
        container.Root().InsertChildText(kDescriptionText, 1, PresetName(file));
        out = container.ToHandle();
    }
    return true;
}

bool CodecFourUp::ReceiveDropItem(Handle& data, OSType flavor, QPoint, int32_t) {
    if (flavor != kFlavorVideoCodec && flavor != kFlavorEffect) return false;
    Handle setting;
    if (!ReadSettingsFile(data, setting)) return false;
    if (CarriesMarker(setting, true)) setting = Handle();  // "no codec" / "no filter"
    (flavor == kFlavorVideoCodec ? mCodecSetting : mFilterSetting) = std::move(setting);
    DisposePaneWorld();
    Refresh();
    return false;
}

// ---- The pane world ----

void CodecFourUp::DisposePaneWorld() { mPaneWorld.reset(); }

bool CodecFourUp::BuildPaneWorld() {
    mFrameAtBuild = CalcLocalFrameRect();
    mFrameAtBuild.moveTopLeft(QPoint(0, 0));
    const OffscreenWorld* source = mMoviePreview != nullptr ? mMoviePreview->GetSourceFrame() : nullptr;
    if (source != nullptr && !source->IsEmpty()) {
        mPaneWorld = std::make_unique<OffscreenWorld>(source->Width(), source->Height(), OffscreenWorld::Format::RGB24);
        CopyAndRender();
    }
    RecomputeImageSize();
    return mPaneWorld != nullptr;
}

void CodecFourUp::UpdatePaneWorld() {
    QRect frame = CalcLocalFrameRect();
    frame.moveTopLeft(QPoint(0, 0));
    if (!mPaneWorld) {
        BuildPaneWorld();
    } else if (frame != mFrameAtBuild) {
        DisposePaneWorld();
        BuildPaneWorld();
    }
    if (mNeedsRender) CopyAndRender();
}

void CodecFourUp::CopyAndRender() {
    mNeedsRender = false;
    if (!mPaneWorld || mMoviePreview == nullptr) return;
    const OffscreenWorld* source = mMoviePreview->GetSourceFrame();
    if (source == nullptr || source->IsEmpty()) return;
    if (source->Width() != mPaneWorld->Width() || source->Height() != mPaneWorld->Height() ||
        source->PixelFormat() != OffscreenWorld::Format::RGB24)
        mPaneWorld->Allocate(source->Width(), source->Height(), OffscreenWorld::Format::RGB24);
    OffscreenWorld& world = *mPaneWorld;
    const size_t rowBytes = size_t(world.Width()) * 3;
    if (source->PixelFormat() == OffscreenWorld::Format::RGB24) {
        for (int y = 0; y < world.Height(); ++y) std::memcpy(world.Row(y), source->Row(y), rowBytes);
    } else {
        for (int y = 0; y < world.Height(); ++y) {
            const uint8_t* from = source->Row(y);
            uint8_t* to = world.Row(y);
            for (int x = 0; x < world.Width(); ++x, from += 4, to += 3) std::memcpy(to, from, 3);
        }
    }

    if (!mFilterSetting.IsNull()) ApplyFilter(world, mFilterSetting);
    if (!mCodecSetting.IsNull()) {
        CompressedImage compressed;
        if (CompressPreviewImage(mCodecSetting, world, compressed) && DecompressImage(compressed, mDecoded)) {
            // Codecs that need even sizes leave an odd edge as it was.
            const int width = std::min(world.Width(), mDecoded.Width());
            const int height = std::min(world.Height(), mDecoded.Height());
            for (int y = 0; y < height; ++y) std::memcpy(world.Row(y), mDecoded.Row(y), size_t(width) * 3);
            mCompressedSize = int32_t(std::min<size_t>(compressed.data.size(), INT32_MAX));
        }
    }
}

// ---- Labels ----

std::string CodecFourUp::CodecLabel() const {
    if (mCodecSetting.IsNull()) return GetIndString(kLabelList, kNoCodecItem);
    std::string name;
    DescribeSettings(mCodecSetting, name);
    int percent = 0;
    if (mPaneWorld && !mPaneWorld->IsEmpty()) {
        const double raw = double(mPaneWorld->BytesPerPixel()) * mPaneWorld->Width() * mPaneWorld->Height();
        percent = RoundToInt(mCompressedSize / raw * 100.0);
    }
    return name + GetIndString(kLabelList, kCommaItem) + GetIndString(kLabelList, kSizeItem) +
           std::to_string(percent) + "%";
}

std::string CodecFourUp::FilterLabel() const {
    if (mFilterSetting.IsNull()) return GetIndString(kLabelList, kNoFilterItem);
    return GetEffectName(mFilterSetting);
}

// ---- Drawing ----

void CodecFourUp::DrawSelf() {
    StDrawingContext context(this);
    CAppearance& appearance = CAppearance::Get();
    UpdatePaneWorld();
    const QRect frame = CalcLocalFrameRect();
    const QRegion clip = GetUpdateRegion().isEmpty() ? QRegion(frame) : GetUpdateRegion();
    if (QPainter* p = context.GetDeviceContext()) p->fillRect(context.MapRect(frame), palette().color(QPalette::Base));
    if (mPaneWorld) DrawPicture(clip);
    DrawLabels();
    appearance.FrameRectColor(ToRect(frame), kFrameColor);
    if (!IsActive()) appearance.ShadeRegion(clip);
}

void CodecFourUp::DrawPicture(const QRegion& clip) {
    StDrawingContext* context = StDrawingContext::GetCurrent();
    QPainter* p = context != nullptr ? context->GetDeviceContext() : nullptr;
    if (p == nullptr || mModel == nullptr) return;
    const QRect frame = CalcLocalFrameRect();
    const QRect pictureArea = QRect(frame.left(), frame.top(), frame.width(), frame.height() - kFourUpLabelBand)
                                  .adjusted(kFourUpBorder, kFourUpBorder, -kFourUpBorder, -kFourUpBorder);
    const CropRect crop = GetCrop();
    const double zoom = GetPaneZoom();
    // Placement in image coordinates: centred when the picture is smaller
    // than the frame.
    const QSize frameSize = GetFrameSize();
    const double x0 = std::max(0, RoundToInt((frameSize.width() - (crop.Width() + kFourUpBorder) * zoom) * 0.5));
    const double y0 = std::max(
        0, RoundToInt((frameSize.height() - (crop.Height() + kFourUpBorder + kFourUpLabelBand) * zoom) * 0.5));
    const QRect destination(QPoint(RoundToInt(x0), RoundToInt(y0)),
                            QPoint(RoundToInt(x0 + crop.Width() * zoom) - 1, RoundToInt(y0 + crop.Height() * zoom) - 1));

    MovieMatrix matrix =
        OutputTransform(OutputGeometry::Of(*mModel), mPaneWorld->Width(), mPaneWorld->Height()).Orientation();
    matrix.Scale(zoom, zoom);
    const QPoint origin = context->GetOrigin();
    QTransform transform = ToQTransform(matrix);
    transform *= QTransform::fromTranslate(x0 - crop.left * zoom + origin.x(), y0 - crop.top * zoom + origin.y());

    const QImage image(mPaneWorld->Pixels(), mPaneWorld->Width(), mPaneWorld->Height(), mPaneWorld->Stride(),
                       QImage::Format_RGB888);
    p->save();
    p->setClipRegion(context->MapRegion(clip & destination & pictureArea), Qt::IntersectClip);
    p->setRenderHint(QPainter::SmoothPixmapTransform, true);
    p->setTransform(transform, false);
    p->drawImage(QPoint(0, 0), image);
    p->restore();
    // Here the watermark shows also while the movie plays.
    mWatermark.Draw(*context, *mModel, destination, clip & pictureArea, zoom, QSize(crop.Width(), crop.Height()));
}

void CodecFourUp::DrawLabels() {
    StDrawingContext* context = StDrawingContext::GetCurrent();
    QPainter* p = context != nullptr ? context->GetDeviceContext() : nullptr;
    if (p == nullptr) return;
    // The labels stay at the frame's bottom whatever the scroll position.
    const QRect frame = CalcLocalFrameRect();
    const QRect first(frame.left() + 4, frame.bottom() + 1 - 26, frame.width() - 8, 12);
    const QRect second = first.translated(0, 12);
    p->save();
    p->fillRect(context->MapRect(QRect(frame.left(), frame.bottom() + 1 - kFourUpLabelBand, frame.width(),
                                       kFourUpLabelBand)),
                palette().color(QPalette::Base));
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    p->setFont(font);
    p->setPen(palette().color(QPalette::Text));
    p->setBackgroundMode(Qt::TransparentMode);  // on the band, not on the context's white
    const QFontMetrics metrics(font);
    for (const auto& [box, text] : {std::pair{first, CodecLabel()}, std::pair{second, FilterLabel()}}) {
        const QRect device = context->MapRect(box);
        p->drawText(device, Qt::AlignLeft | Qt::AlignVCenter,
                    metrics.elidedText(QString::fromStdString(text), Qt::ElideRight, device.width()));
    }
    p->restore();
}

// ---- Hand scrolling ----

void CodecFourUp::ClickSelf(const SViewMouse& mouse) {
    mScrolling = true;
    mLastMouse = mouse.whereFrame;
}

void CodecFourUp::TrackMouseSelf(const SViewMouse& mouse) {
    if (!mScrolling) return;
    const QPoint delta = mLastMouse - mouse.whereFrame;
    mLastMouse = mouse.whereFrame;
    if (delta.isNull()) return;
    CAppearance::Get().SetThemeCursor(kHandScrollCursor);
    ScrollImageBy(delta.x(), delta.y(), true);
    Refresh();
    BroadcastMessage(msg_FourUpScrolled, this);
    UpdatePort();
    CAppearance::Get().SetThemeCursor(kArrowCursor);
}

void CodecFourUp::ReleaseMouseSelf(const SViewMouse&) { mScrolling = false; }

// The labels never move, so the whole pane is drawn again.
void CodecFourUp::ScrollBits(int32_t, int32_t) { Refresh(); }

void CodecFourUp::showEvent(QShowEvent* event) {
    FourUpView::showEvent(event);
    RecomputeImageSize();
}

void CodecFourUp::hideEvent(QHideEvent* event) {
    FourUpView::hideEvent(event);
    DisposePaneWorld();
}
