#include "catalogs/CFileListBase.h"

#include <fnmatch.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include "appearance/CAppearance.h"
#include "appearance/QtAppearance.h"
#include "appearance/StDrawingContext.h"
#include "catalogs/CatalogDrawing.h"
#include "catalogs/PresetFolders.h"
#include "framework/Ticks.h"
#include "framework/gui/ErrorMessages.h"
#include "framework/gui/UModalAlerts.h"
#include "resources/StringLists.h"

namespace fs = std::filesystem;

namespace {

constexpr int16_t kSavePromptList = 1000;
constexpr int16_t kListStrings = 1001;
constexpr int16_t kDeleteQuestionItem = 1;
constexpr int16_t kExtensionSeparatorItem = 4;
constexpr int16_t kListingPatternItem = 6;
constexpr int16_t kCurrentEntryItem = 7;
constexpr int16_t kParentEntryItem = 8;

constexpr int16_t kCursorArrow = 0;
constexpr int16_t kCursorDragging = 8;
constexpr int16_t kCursorOverCell = 9;

// Guards against folders that nest without end (or through links).
constexpr int kMaxFolderDepth = 8;
constexpr int32_t kMaxItems = 10000;

bool IsDeleteKey(const QKeyEvent& key) {
    switch (key.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Escape:  // the Clear key's code
    case Qt::Key_Clear: return true;
    default: return false;
    }
}

std::string LowerCase(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

}  // namespace

CFileListBase::CFileListBase(QWidget* parent) : LView(parent), mNextCheck(TickCount()) {
    setFocusPolicy(Qt::StrongFocus);
    if (mNextCheck == 0) mNextCheck = 1;
    StartIdleTask();
}

CFileListBase::~CFileListBase() { StopIdleTask(); }

// ---- Geometry ----

int32_t CFileListBase::ColumnsForWidth(int32_t frameWidth) {
    return std::max<int32_t>(1, frameWidth / kFileColumnStep);
}

int32_t CFileListBase::RowsFor(int32_t count, int32_t columns) {
    if (count <= 0 || columns <= 0) return 0;
    return (count + columns - 1) / columns;
}

QSize CFileListBase::ImageSizeFor(int32_t columns, int32_t rows) {
    return QSize(columns * kFileCellWidth, rows * kFileCellHeight + kFileCellMargin);
}

QRect CFileListBase::CellBox(int32_t index) const {
    const int32_t i = index - 1;
    const int32_t column = i % mColumns;
    const int32_t row = i / mColumns;
    return QRect(column * kFileCellWidth, row * kFileCellHeight, kFileCellWidth, kFileCellHeight);
}

QRect CFileListBase::CellActiveRect(int32_t index) const {
    return CellBox(index).adjusted(kFileCellMargin, kFileCellMargin, 0, 0);
}

int32_t CFileListBase::CellAt(QPoint imagePoint) const {
    // Start at the first cell of the row at the top of the view.
    const int32_t topRow = std::max(0, GetScrollPosition().y() / kFileCellHeight);
    for (int32_t index = topRow * mColumns + 1; index <= mItems.GetCount(); ++index)
        if (CellActiveRect(index).contains(imagePoint)) return index;
    return 0;
}

int32_t CFileListBase::IndexOfItem(const FSSpec& file) const {
    if (!file.IsSet()) return 0;
    for (int32_t i = 1; i <= mItems.GetCount(); ++i)
        if (mItems[i] == file) return i;
    return 0;
}

void CFileListBase::LayoutGrid() {
    mColumns = ColumnsForWidth(GetFrameSize().width());
    mRows = RowsFor(mItems.GetCount(), mColumns);
    const QSize image = ImageSizeFor(mColumns, mRows);
    SetImageSize(image.width(), image.height(), true);
}

void CFileListBase::FinishCreateSelf() {
    // Keys and commands the list does not take go to its window.
    if (GetSuperCommander() == nullptr && parentWidget() != nullptr)
        SetSuperCommander(LCommander::CommanderOf(parentWidget()));
    LayoutGrid();
}

void CFileListBase::FrameResized() { LayoutGrid(); }

// ---- The folder ----

std::string CFileListBase::PresetsFolderPath() const { return PresetFolders::FolderPath(FolderName()); }

uint32_t CFileListBase::FolderDate(const std::string& folderPath) {
    std::error_code ec;
    if (!fs::is_directory(folderPath, ec)) return 0;
    const auto stamp = fs::last_write_time(folderPath, ec);
    if (ec) return 0;
    // Folded to 32 bits from the full resolution, so that two changes in
    // one second still differ.
    const uint64_t ticks = uint64_t(stamp.time_since_epoch().count());
    const uint32_t folded = uint32_t(ticks) ^ uint32_t(ticks >> 32);
    return folded == 0 ? 1 : folded;
}

uint32_t CFileListBase::TicksUntilCheck() const {
    if (mNextCheck == 0) return 0;
    const int32_t left = int32_t(mNextCheck - TickCount());
    return left > 0 ? uint32_t(left) : 0;
}

void CFileListBase::Reload() {
    mItems.RemoveAllItems();
    const std::string folder = PresetsFolderPath();
    mFolderDate = FolderDate(folder);
    if (mFolderDate != 0) ReadFolder(folder, 0);
    // A selection whose file went away is dropped.
    if (mSelection.IsSet() && IndexOfItem(mSelection) == 0) {
        mSelection.Clear();
        SelectionChanged();
    }
    LayoutGrid();
    Refresh();
}

void CFileListBase::ReadFolder(const std::string& folderPath, int depth) {
    if (depth > kMaxFolderDepth) return;
    const std::string pattern = GetIndString(kListStrings, kListingPatternItem);
    const std::string currentEntry = GetIndString(kListStrings, kCurrentEntryItem);
    const std::string parentEntry = GetIndString(kListStrings, kParentEntryItem);

    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folderPath, ec), end; !ec && it != end; it.increment(ec)) {
        entries.push_back(*it);
        if (entries.size() > size_t(kMaxItems)) break;
    }
    // Read in name order, so the grid does not depend on the file system.
    std::sort(entries.begin(), entries.end(), [](const fs::directory_entry& a, const fs::directory_entry& b) {
        return LowerCase(a.path().filename().string()) < LowerCase(b.path().filename().string());
    });

    for (const fs::directory_entry& entry : entries) {
        if (mItems.GetCount() >= kMaxItems) return;
        const std::string name = entry.path().filename().string();
        if (name == currentEntry || name == parentEntry) continue;
        if (!pattern.empty() && fnmatch(pattern.c_str(), name.c_str(), 0) != 0) continue;
        FSSpec spec;
        if (FSSpec::FromPath(entry.path().string(), spec) != noErr) continue;  // path too long for a record
        std::error_code typeError;
        const auto status = entry.symlink_status(typeError);
        if (typeError) continue;
        if (fs::is_directory(status)) {
            AddFolderItem(spec);
            ReadFolder(entry.path().string(), depth + 1);
            continue;
        }
        if (!fs::is_regular_file(entry.status(typeError))) continue;
        const size_t dot = name.rfind('.');
        if (dot == std::string::npos || dot + 1 >= name.size()) continue;
        AddFileItem(spec, PresetFolders::FileTypeForExtension(std::string_view(name).substr(dot + 1)));
    }
}

void CFileListBase::AddFileItem(const FSSpec& file, OSType) { mItems.Append(file); }

// The time comes with the event, so that the ten-second folder check
// follows the clock of whoever runs the idle pass.
void CFileListBase::SpendTime(const EventRecord& event) {
    const uint32_t now = event.when;
    if (mNextCheck != 0 && int32_t(now - mNextCheck) < 0) return;
    mNextCheck = now + kFolderCheckTicks;
    if (mNextCheck == 0) mNextCheck = 1;
    if (FolderDate(PresetsFolderPath()) != mFolderDate) Reload();
}

// ---- Selection ----

void CFileListBase::RefreshCell(int32_t index) {
    if (index < 1 || index > mItems.GetCount()) return;
    RefreshRect(CellBox(index).adjusted(-4, -4, 4, 4));
}

void CFileListBase::SelectItem(const FSSpec& file) {
    if (file == mSelection || (!file.IsSet() && !mSelection.IsSet())) return;
    RefreshCell(IndexOfItem(mSelection));
    if (file.IsSet())
        mSelection = file;
    else
        mSelection.Clear();
    RefreshCell(IndexOfItem(mSelection));
    SelectionChanged();
}

void CFileListBase::RemoveFile(const FSSpec& file) {
    const int32_t index = IndexOfItem(file);
    if (index == 0) return;
    mItems.RemoveItemAt(index);
    LayoutGrid();
    Refresh();
}

void CFileListBase::DeleteItem(const FSSpec& file) {
    RemoveFile(file);
    std::error_code ec;
    fs::remove(file.Path(), ec);
}

bool CFileListBase::DeleteSelection(bool ask) {
    if (!mSelection.IsSet()) return false;
    const FSSpec deleted = mSelection;
    if (ask) {
        const std::string question = SubstituteArguments(GetIndString(kListStrings, kDeleteQuestionItem),
                                                         deleted.FileName().c_str(), FolderName().c_str());
        if (!AskYesNoText(QString::fromStdString(question))) return false;
    }
    const int32_t index = IndexOfItem(deleted);
    FSSpec next;
    if (index != 0 && index < mItems.GetCount())
        next = mItems[index + 1];
    else if (index > 1)
        next = mItems[index - 1];
    SelectItem(next);
    DeleteItem(deleted);
    ReloadSoon();
    return true;
}

// ---- Saving presets ----

bool CFileListBase::SavePreset(FSSpec& outFile, OSType fileType) {
    const std::string folder = PresetsFolderPath();
    std::error_code ec;
    fs::create_directories(folder, ec);

    const std::string extension = PresetFolders::ExtensionForType(fileType);
    UModalAlerts::SaveRequest request;
    request.title = QString::fromStdString(GetIndString(kSavePromptList, 1));
    request.folder = QString::fromStdString(folder);
    request.nameFilters << QStringLiteral("%1 presets (*.%1)").arg(QString::fromStdString(extension));
    request.defaultSuffix = QString::fromStdString(extension);
    const std::optional<QString> chosen = UModalAlerts::AskSave(request);
    if (!chosen || chosen->isEmpty()) return false;

    std::string path = chosen->toStdString();
    const std::string separator = GetIndString(kListStrings, kExtensionSeparatorItem);
    const std::string suffix = separator + extension;
    if (path.size() < suffix.size() ||
        LowerCase(path.substr(path.size() - suffix.size())) != LowerCase(suffix))
        path += suffix;

    FSSpec spec;
    if (FSSpec::FromPath(path, spec) != noErr) {
        ShowErrorForCode(bdNamErr);
        return false;
    }
    if (fs::exists(path, ec)) fs::remove(path, ec);
    outFile = spec;
    return true;
}

bool CFileListBase::CopyPreset(const FSSpec& file) {
    if (!file.IsSet()) return false;
    const std::string folder = PresetsFolderPath();
    std::error_code ec;
    fs::create_directories(folder, ec);
    const fs::path source = file.Path();
    const fs::path target = fs::path(folder) / source.filename();
    FSSpec check;
    if (FSSpec::FromPath(target.string(), check) != noErr) return false;
    if (fs::equivalent(source, target, ec)) return true;
    fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
    if (ec) return false;
    ReloadSoon();
    return true;
}

// ---- Drawing ----

bool CFileListBase::IsTarget() const {
    return LCommander::GetTarget() == static_cast<const LCommander*>(this) || hasFocus();
}

void CFileListBase::DrawSelf() {
    StDrawingContext context(this);
    CAppearance& appearance = CAppearance::Get();
    const QRegion& update = GetUpdateRegion();
    for (const QRect& r : update) appearance.FillRectTheme(ToToolboxRect(r), kListBackgroundTheme);

    const bool windowActive = IsActive();
    const bool showSelection = windowActive && IsTarget();
    const QRect bounds = update.boundingRect();
    const int32_t firstRow = std::max(0, bounds.top() / kFileCellHeight);
    const int32_t lastRow = bounds.bottom() / kFileCellHeight + 1;
    const int32_t first = firstRow * mColumns + 1;
    const int32_t last = std::min(mItems.GetCount(), (lastRow + 1) * mColumns);
    for (int32_t index = first; index <= last; ++index)
        if (update.intersects(CellActiveRect(index))) DrawCell(index, windowActive, showSelection);
}

void CFileListBase::DrawCell(int32_t index, bool windowActive, bool showSelection) {
    CAppearance& appearance = CAppearance::Get();
    const FSSpec file = mItems[index];
    const QRect active = CellActiveRect(index);
    DrawCellBackground(active, windowActive);

    const QRect inner = active.adjusted(5, 5, -5, -5);
    const QRect nameStrip(QPoint(inner.left() + 2, inner.bottom() + 1 - 14), QPoint(inner.right() - 2, inner.bottom()));
    const QRect frame = QRect(inner.topLeft(), QPoint(inner.right(), nameStrip.top() - 1)).adjusted(2, 2, -2, -2);
    appearance.DrawWellFrame(ToToolboxRect(frame));
    const QRect content = frame.adjusted(2, 2, -2, -2);
    appearance.FillRectTheme(ToToolboxRect(content), windowActive ? kContentThemeActive : kContentThemeInactive);
    DrawItem(content, file, windowActive);

    UseCellTextStyle(windowActive);
    appearance.DrawTextBox(file.FileName(), ToToolboxRect(nameStrip), kJustifyCenter,
                           CellTextColor(windowActive));
    const QString name = QString::fromStdString(file.FileName());
    const StDrawingContext* context = StDrawingContext::GetCurrent();
    const QPainter* painter = context != nullptr ? context->GetDeviceContext() : nullptr;
    if (painter != nullptr && QFontMetrics(painter->font()).horizontalAdvance(name) > nameStrip.width())
        mCutOffNames.insert(name);
    else
        mCutOffNames.remove(name);

    if (showSelection && file == mSelection) DrawSelectionHighlight(active);
}

bool CFileListBase::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return LView::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const int32_t cell = CellAt(FrameToImage(help->pos()));
    const QString name = cell != 0 ? QString::fromStdString(mItems[cell].FileName()) : QString();
    if (mCutOffNames.contains(name))
        QToolTip::showText(help->globalPos(), name, viewport(), CellActiveRect(cell).translated(-GetScrollPosition()));
    else
        QToolTip::hideText();
    return true;
}

// ---- Mouse ----

void CFileListBase::mouseDoubleClickEvent(QMouseEvent* event) {
    mDoubleClick = true;
    LView::mousePressEvent(event);
    mDoubleClick = false;
}

void CFileListBase::ClickSelf(const SViewMouse& mouse) {
    setFocus(Qt::MouseFocusReason);
    mDragStarted = false;
    mPressedCell = CellAt(mouse.where);
    mPressPoint = mouse.whereFrame;
    if (mPressedCell == 0) return;
    const FSSpec file = mItems[mPressedCell];
    SelectItem(file);
    if (mDoubleClick) {
        mPressedCell = 0;  // no drag out of a double click
        OpenItem(file);
    }
}

void CFileListBase::TrackMouseSelf(const SViewMouse& mouse) {
    if (mPressedCell == 0 || mDragStarted) return;
    if ((mouse.whereFrame - mPressPoint).manhattanLength() < QApplication::startDragDistance()) return;
    mDragStarted = true;
    const int32_t index = mPressedCell;
    mPressedCell = 0;
    if (index > mItems.GetCount()) return;
    if (CAppearance::Exists()) CAppearance::Get().SetThemeCursor(kCursorDragging);
    DragItem(mouse, mItems[index], CellBox(index));
}

void CFileListBase::ReleaseMouseSelf(const SViewMouse&) {
    mPressedCell = 0;
    mDragStarted = false;
}

void CFileListBase::AdjustMouseSelf(const SViewMouse& mouse) {
    if (!CAppearance::Exists()) return;
    QtAppearance::SetCursorTarget(viewport());
    CAppearance::Get().SetThemeCursor(CellAt(mouse.where) != 0 ? kCursorOverCell : kCursorArrow);
}

void CFileListBase::focusInEvent(QFocusEvent* event) {
    LView::focusInEvent(event);
    Refresh();
}

void CFileListBase::focusOutEvent(QFocusEvent* event) {
    LView::focusOutEvent(event);
    Refresh();
}

// ---- Keys and commands ----

void CFileListBase::keyPressEvent(QKeyEvent* event) {
    if (HandleKeyPress(*event)) {
        event->accept();
        return;
    }
    LView::keyPressEvent(event);
}

bool CFileListBase::HandleKeyPress(const QKeyEvent& key) {
    if (!IsDeleteKey(key)) return false;
    DeleteSelection(true);
    return true;
}

bool CFileListBase::HandleCommand(CommandT command, void*) {
    switch (command) {
    case cmd_Clear: DeleteSelection(true); return true;
    case cmd_ItemInfo:
        if (mSelection.IsSet()) ShowItemInfo(mSelection);
        return true;
    case cmd_PlayItem:
        if (mSelection.IsSet()) PlayItem(mSelection);
        return true;
    case cmd_SelectNone: SelectItem(FSSpec()); return true;
    default: return false;
    }
}

bool CFileListBase::FindCommandStatus(CommandT command, SCommandStatus& status) {
    switch (command) {
    case cmd_Clear:
    case cmd_ItemInfo:
    case cmd_SelectNone: status.enabled = mSelection.IsSet(); return true;
    case cmd_PlayItem: status.enabled = mSelection.IsSet() && CanPlay() && IsTarget(); return true;
    default: return false;
    }
}
