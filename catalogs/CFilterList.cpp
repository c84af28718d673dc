#include "catalogs/CFilterList.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <algorithm>
#include <cstring>

#include "appearance/CAppearance.h"
#include "appearance/StDrawingContext.h"
#include "catalogs/CatalogDrawing.h"
#include "catalogs/EffectEditing.h"
#include "catalogs/FilterThumbnail.h"
#include "catalogs/PresetFile.h"
#include "framework/gui/DragFlavors.h"
#include "model/CTambleDocModel.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/effects/EffectRendering.h"

namespace {

constexpr int kCellInset = 2;
constexpr int kNameTop = 53;
constexpr int kNameBottom = 66;
constexpr int16_t kInsertMarkTheme = 14;
constexpr size_t kMaxThumbnails = 64;

bool IsDeleteKey(const QKeyEvent& key) {
    switch (key.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Escape:
    case Qt::Key_Clear: return true;
    default: return false;
    }
}

}  // namespace

CFilterList::CFilterList(QWidget* parent) : LView(parent), CDelayedReceiver(this) {
    setFocusPolicy(Qt::StrongFocus);
    AcceptedFlavors().Append(kFlavorEffect);
    // Codec presets are taken too, only to be refused with a beep.
    AcceptedFlavors().Append(kFlavorVideoCodec);
    AcceptedFlavors().Append(kFlavorAudioCodec);
    LayoutImage();
}

CFilterList::~CFilterList() { DetachFromAll(); }

// ---- Model ----

CTambleDocModel* CFilterList::GetModel() const {
    // A model that went away has unlinked itself.
    return mModel != nullptr && IsObserving(mModel) ? mModel : nullptr;
}

void CFilterList::SetModel(CTambleDocModel* model) {
    if (model == GetModel()) return;
    DetachFromAll();
    mModel = model;
    if (mModel != nullptr) Observe(mModel);
    mSelection = 0;
    LayoutImage();
}

void CFilterList::Update(OSType senderKind, int32_t changeCode, void*, int32_t, int32_t, int32_t) {
    if (senderKind != kSenderDocModel) return;
    switch (changeCode) {
    case kChangeRefreshFromSource:
    case kChangeFilterAdded:
    case kChangeFilterRemoved: LayoutImage(); break;
    case kChangeFilterChanged: Refresh(); break;
    default: break;
    }
}

// ---- Geometry ----

QSize CFilterList::ImageSizeFor(int32_t count, bool sideBySide) {
    if (sideBySide) return QSize(count * kFilterCellWidth + kFilterCellWidth / 2, kFilterCellHeight);
    return QSize(kFilterCellWidth, count * kFilterCellHeight + kFilterCellHeight / 2);
}

void CFilterList::SetSideBySide(bool sideBySide) {
    if (sideBySide == mSideBySide) return;
    mSideBySide = sideBySide;
    LayoutImage();
}

void CFilterList::LayoutImage() {
    const CTambleDocModel* model = GetModel();
    const int32_t count = model != nullptr ? model->FilterCount() : 0;
    if (mSelection > count) mSelection = count;
    const QSize size = ImageSizeFor(count, mSideBySide);
    SetImageSize(size.width(), size.height(), true);
}

QRect CFilterList::CellBox(int32_t index) const {
    const QSize frame = GetFrameSize();
    if (mSideBySide)
        return QRect((index - 1) * kFilterCellWidth, 0, kFilterCellWidth, std::max(frame.height(), kFilterCellHeight));
    return QRect(0, (index - 1) * kFilterCellHeight, std::max(frame.width(), kFilterCellWidth), kFilterCellHeight);
}

int32_t CFilterList::CellAt(QPoint imagePoint) const {
    const CTambleDocModel* model = GetModel();
    if (model == nullptr) return 0;
    for (int32_t i = 1; i <= model->FilterCount(); ++i)
        if (CellBox(i).contains(imagePoint)) return i;
    return 0;
}

int32_t CFilterList::DropIndexAt(QPoint imagePoint) const {
    const CTambleDocModel* model = GetModel();
    const int32_t count = model != nullptr ? model->FilterCount() : 0;
    for (int32_t i = 1; i <= count; ++i) {
        const QRect box = CellBox(i);
        if (!box.contains(imagePoint)) continue;
        const bool pastMiddle = mSideBySide ? imagePoint.x() >= box.left() + box.width() / 2
                                            : imagePoint.y() >= box.top() + box.height() / 2;
        return pastMiddle ? i + 1 : i;
    }
    return count + 1;
}

// ---- Selection ----

void CFilterList::RefreshCell(int32_t index) {
    if (index > 0) RefreshRect(CellBox(index).adjusted(-2, -2, 2, 2));
}

void CFilterList::SetSelection(int32_t index) {
    const CTambleDocModel* model = GetModel();
    const int32_t count = model != nullptr ? model->FilterCount() : 0;
    index = std::clamp(index, 0, count);
    if (index == mSelection) return;
    RefreshCell(mSelection);
    mSelection = index;
    RefreshCell(mSelection);
}

bool CFilterList::IsTarget() const {
    return LCommander::GetTarget() == static_cast<const LCommander*>(this) || hasFocus();
}

// ---- Drops ----

bool CFilterList::InsertPresetAt(const FSSpec& presetFile, QPoint imagePoint) {
    CTambleDocModel* model = GetModel();
    if (model == nullptr || !presetFile.IsSet()) return false;
    Handle data;
    if (!ReadPresetFile(presetFile, data)) return false;
    AtomContainer description;
    if (!AtomContainer::TryParse(data, description)) return false;
    if (description.Find(kNotSettingsMarker) || description.Find(kDeletedSettingsMarker)) return false;
    // The cell shows the preset's name.
    description.Root().RemoveChildren(kEffectDescriptionTextAtom);
    description.Root().InsertChildText(kEffectDescriptionTextAtom, 1, presetFile.FileName());
    const int32_t index = DropIndexAt(imagePoint);
    model->InsertFilter(std::make_unique<Handle>(description.ToHandle()), index);
    SetSelection(std::min(index, model->FilterCount()));
    return true;
}

bool CFilterList::ReceiveDropItem(Handle& data, OSType flavor, QPoint dropPoint, int32_t) {
    mInsertMark = QRect();
    Refresh();
    if (GetModel() == nullptr) return false;
    if (flavor != kFlavorEffect) {
        QApplication::beep();
        return false;
    }
    if (data.Size() != kFileRecordSize) return false;
    FSSpec file;
    std::memcpy(&file, data.Data() + kFileRecordPrefixSize, sizeof file);
    InsertPresetAt(file, dropPoint);
    return false;  // the record was only read
}

bool CFilterList::TrackDragInside(QPoint imagePoint) {
    const CTambleDocModel* model = GetModel();
    if (model == nullptr) return false;
    const int32_t index = DropIndexAt(imagePoint);
    QRect mark;
    if (index <= model->FilterCount()) {
        const QRect box = CellBox(index);
        mark = mSideBySide ? QRect(box.left() - 1, box.top(), 2, box.height())
                           : QRect(box.left(), box.top() - 1, box.width(), 2);
    } else if (model->FilterCount() > 0) {
        const QRect box = CellBox(model->FilterCount());
        mark = mSideBySide ? QRect(box.right() - 1, box.top(), 2, box.height())
                           : QRect(box.left(), box.bottom() - 1, box.width(), 2);
    } else {
        mark = mSideBySide ? QRect(1, 0, 2, GetFrameSize().height()) : QRect(0, 1, GetFrameSize().width(), 2);
    }
    if (mark == mInsertMark) return true;
    RefreshRect(mInsertMark.adjusted(-1, -1, 1, 1));
    mInsertMark = mark;
    RefreshRect(mInsertMark.adjusted(-1, -1, 1, 1));
    return true;
}

void CFilterList::LeaveDropArea() {
    RefreshRect(mInsertMark.adjusted(-1, -1, 1, 1));
    mInsertMark = QRect();
    CDelayedReceiver::LeaveDropArea();
}

// ---- Editing ----

std::unique_ptr<OffscreenWorld> CFilterList::PictureForEditing() {
    if (mPictureSource) return mPictureSource(kFilterEditPictureSize, kFilterEditPictureSize);
    CTambleDocModel* model = GetModel();
    if (model == nullptr) return nullptr;
    std::unique_ptr<OffscreenWorld> frame = model->GetCurrentFramePicture();
    if (!frame || frame->IsEmpty()) return nullptr;
    const QImage scaled = ImageFromWorld(*frame).scaled(kFilterEditPictureSize, kFilterEditPictureSize,
                                                         Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return std::make_unique<OffscreenWorld>(WorldFromImage(scaled));
}

void CFilterList::EditFilter(int32_t index) {
    CTambleDocModel* model = GetModel();
    if (model == nullptr) return;
    Handle* filter = model->GetFilter(index);
    if (filter == nullptr) return;
    const std::unique_ptr<OffscreenWorld> picture = PictureForEditing();
    Handle edited = *filter;
    EditFilterParameters(edited, picture.get());
    // The model may have changed while the dialog was up.
    if (model->GetFilter(index) != filter) return;
    *filter = std::move(edited);
    model->FilterChanged();
}

void CFilterList::DeleteSelectedFilter() {
    CTambleDocModel* model = GetModel();
    if (model == nullptr || mSelection == 0) return;
    model->RemoveFilter(mSelection);  // the removed filter is disposed of here
    if (mSelection > model->FilterCount()) mSelection = model->FilterCount();
    Refresh();
}

// ---- View ----

void CFilterList::FinishCreateSelf() {
    if (GetSuperCommander() == nullptr && parentWidget() != nullptr)
        SetSuperCommander(LCommander::CommanderOf(parentWidget()));
    LayoutImage();
}

// A strip wider than tall shows the cells side by side.
void CFilterList::FrameResized() {
    const QSize frame = GetFrameSize();
    SetSideBySide(frame.width() > frame.height());
    Refresh();
}

// Room for a row of cells and the scroll bar under them.
QSize CFilterList::minimumSizeHint() const {
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return QSize(kFilterCellWidth + extent, kFilterCellHeight + 2 * frameWidth() + extent);
}

const QImage& CFilterList::ThumbnailFor(const Handle& filter) {
    auto it = mThumbnails.find(filter.Bytes());
    if (it != mThumbnails.end()) return it->second;
    if (mThumbnails.size() >= kMaxThumbnails) mThumbnails.clear();
    QImage picture;
    MakeFilterThumbnail(filter, picture);
    return mThumbnails.emplace(filter.Bytes(), std::move(picture)).first->second;
}

void CFilterList::DrawSelf() {
    StDrawingContext context(this);
    CAppearance& appearance = CAppearance::Get();
    const QRegion& update = GetUpdateRegion();
    for (const QRect& r : update) appearance.FillRectTheme(ToToolboxRect(r), kListBackgroundTheme);
    const CTambleDocModel* model = GetModel();
    if (model == nullptr) return;
    const bool active = IsActive();
    const bool showSelection = active && IsTarget();
    for (int32_t i = 1; i <= model->FilterCount(); ++i)
        if (update.intersects(CellBox(i))) DrawCell(i, active, showSelection);
    if (!mInsertMark.isEmpty()) appearance.FillRectTheme(ToToolboxRect(mInsertMark), kInsertMarkTheme);
}

void CFilterList::DrawCell(int32_t index, bool active, bool showSelection) {
    CAppearance& appearance = CAppearance::Get();
    const Handle* filter = GetModel()->GetFilter(index);
    const QRect box = CellBox(index);
    const QRect cell = box.adjusted(kCellInset, kCellInset, -kCellInset, -kCellInset);
    DrawCellBackground(cell, active);

    const QRect nameStrip(box.left() + 4, box.top() + kNameTop, box.width() - 8, kNameBottom - kNameTop);
    const QRect frame = cell.adjusted(4, 5, -4, 0);
    const QRect pictureArea(frame.left(), frame.top(), frame.width(), nameStrip.top() - 2 - frame.top());
    if (filter != nullptr) {
        const QImage& thumbnail = ThumbnailFor(*filter);
        if (!thumbnail.isNull()) DrawFittedPixmap(QPixmap::fromImage(thumbnail), pictureArea, active);
        UseCellTextStyle(active);
        appearance.DrawTextBox(GetEffectName(*filter), ToToolboxRect(nameStrip), kJustifyCenter, CellTextColor(active));
    }
    if (showSelection && index == mSelection) DrawSelectionHighlight(cell);
}

// ---- Mouse and keys ----

void CFilterList::mouseDoubleClickEvent(QMouseEvent* event) {
    mDoubleClick = true;
    LView::mousePressEvent(event);
    mDoubleClick = false;
}

void CFilterList::ClickSelf(const SViewMouse& mouse) {
    setFocus(Qt::MouseFocusReason);
    if (GetModel() == nullptr) return;
    const int32_t index = CellAt(mouse.where);
    if (index == 0) return;
    SetSelection(index);
    if (mDoubleClick) EditFilter(index);
}

void CFilterList::keyPressEvent(QKeyEvent* event) {
    if (HandleKeyPress(*event)) {
        event->accept();
        return;
    }
    LView::keyPressEvent(event);
}

bool CFilterList::HandleKeyPress(const QKeyEvent& key) {
    if (!IsDeleteKey(key)) return false;
    DeleteSelectedFilter();
    return true;
}

void CFilterList::focusInEvent(QFocusEvent* event) {
    LView::focusInEvent(event);
    Refresh();
}

void CFilterList::focusOutEvent(QFocusEvent* event) {
    LView::focusOutEvent(event);
    Refresh();
}
