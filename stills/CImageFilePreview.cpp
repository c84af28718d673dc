#include "stills/CImageFilePreview.h"

#include <QKeyEvent>
#include <QPainter>
#include <cstring>
#include <filesystem>

#include "appearance/AppearanceTables.h"
#include "appearance/CAppearance.h"
#include "appearance/StDrawingContext.h"
#include "framework/gui/DragFlavors.h"
#include "platform/media/image/ImageFileReader.h"
#include "platform/media/image/PictureLayout.h"

namespace {
constexpr int kKeyBackspace = 8;
constexpr int kKeyEscape = 27;
constexpr int kKeyDelete = 127;

Rect ToRect(const QRect& r) { return MakeRect(r.left(), r.top(), r.width(), r.height()); }

int CharCodeOf(const QKeyEvent& key) {
    switch (key.key()) {
    case Qt::Key_Backspace: return kKeyBackspace;
    case Qt::Key_Escape: return kKeyEscape;
    case Qt::Key_Delete: return kKeyDelete;
    default: return key.text().isEmpty() ? 0 : key.text().at(0).unicode();
    }
}
}  // namespace

CImageFilePreview::CImageFilePreview(QWidget* parent) : LView(parent), CDelayedReceiver(this) {
    AcceptedFlavors().Append(kFlavorFile);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

CImageFilePreview::~CImageFilePreview() = default;

void CImageFilePreview::SetImageFile(const FSSpec& file) {
    mFile = file;
    mNaturalBounds = Rect{};
    Refresh();
    UpdatePort();
}

void CImageFilePreview::UserChangedFile() { BroadcastMessage(msg_ImageFileChanged, nullptr); }

bool CImageFilePreview::ReceiveDropItem(Handle& data, OSType flavor, QPoint, int32_t) {
    if (flavor != kFlavorFile || data.Size() != kFileRecordSize) return false;
    FSSpec dropped;
    std::memcpy(&dropped, data.Data() + kFileRecordPrefixSize, sizeof dropped);
    if (dropped.name[0] == 0) return false;
    // Links are followed to the file itself; a dangling one is refused.
    std::error_code error;
    const auto resolved = std::filesystem::canonical(dropped.Path(), error);
    FSSpec file;
    if (error || FSSpec::FromPath(resolved.string(), file) != noErr) return false;
    SetImageFile(file);
    UserChangedFile();
    return false;  // the record was only read
}

bool CImageFilePreview::HandleKeyPress(const QKeyEvent& key) {
    const int code = CharCodeOf(key);
    if (code != kKeyBackspace && code != kKeyEscape && code != kKeyDelete) return false;
    mFile.Clear();
    mNaturalBounds = Rect{};
    Refresh();
    UpdatePort();
    UserChangedFile();
    return true;
}

void CImageFilePreview::keyPressEvent(QKeyEvent* event) {
    if (ProcessKeyPress(*event))
        event->accept();
    else
        LView::keyPressEvent(event);
}

void CImageFilePreview::ClickSelf(const SViewMouse&) { setFocus(Qt::MouseFocusReason); }

void CImageFilePreview::focusInEvent(QFocusEvent* event) {
    LView::focusInEvent(event);
    Refresh();  // shows the focus ring
}

void CImageFilePreview::focusOutEvent(QFocusEvent* event) {
    LView::focusOutEvent(event);
    Refresh();
}

void CImageFilePreview::DrawSelf() {
    StDrawingContext context(this);
    if (isEnabled()) DrawPicture();
    if (hasFocus()) {
        const QRect frame = CalcLocalFrameRect().adjusted(2, 2, -2, -2);
        CAppearance::Get().DrawFocusRing(ToRect(frame), true);
    }
}

void CImageFilePreview::DrawPicture() {
    StDrawingContext* context = StDrawingContext::GetCurrent();
    QPainter* p = context != nullptr ? context->GetDeviceContext() : nullptr;
    if (p == nullptr) return;
    QRect box = CalcLocalFrameRect();
    mPictureRect = ToRect(box);
    context->NormalPen();
    const QRect device = context->MapRect(box);
    // Erased and framed in the list colours of the palette.
    p->fillRect(device, palette().color(QPalette::Base));
    p->setPen(QPen(palette().color(QPalette::Text), 1));
    p->setBrush(Qt::NoBrush);
    p->drawRect(device.adjusted(0, 0, -1, -1));
    if (!mFile.IsSet()) return;

    box.adjust(1, 1, -1, -1);
    mPictureRect = ToRect(box);
    ImageFileReader reader(mFile, 1);
    if (!reader.HasImporter()) {
        context->SetPenPosition(box.bottomLeft());
        return;
    }
    mNaturalBounds = reader.NaturalBounds();
    const Rect fitted = FitPictureInBox(mNaturalBounds, mPictureRect);
    const QRect target = context->MapRect(fitted);
    const OffscreenWorld& picture = reader.Picture();
    const QImage image(picture.Pixels(), picture.Width(), picture.Height(), picture.Stride(),
                       QImage::Format_RGBA8888);
    p->save();
    p->setClipRect(context->MapRect(box), Qt::IntersectClip);
    p->setRenderHint(QPainter::SmoothPixmapTransform, true);
    p->drawImage(target, image);
    p->restore();
    p->setPen(QPen(palette().color(QPalette::Text), 1));
    p->setBrush(Qt::NoBrush);
    p->drawRect(target.adjusted(-1, -1, 0, 0));
}
