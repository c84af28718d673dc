// The grid of preset files the catalogs are built on: one cell per file of
// a presets folder beside the program, laid out in as many columns as fit.
// It reads the folder, keeps one selected file, deletes files after asking,
// starts drags, and reads the folder again on its own when the folder's
// modification date changes (checked every ten seconds while idle).
// Derived lists decide which files they show and draw each cell's content.
#pragma once

#include <QSet>
#include <QString>

#include <QRect>
#include <cstdint>
#include <string>

#include "framework/LPeriodical.h"
#include "framework/TArray.h"
#include "framework/gui/LCommander.h"
#include "framework/gui/LView.h"
#include "platform/media/FSSpec.h"

// Cell geometry in image pixels.
constexpr int kFileCellWidth = 122;
constexpr int kFileCellHeight = 82;
constexpr int kFileCellMargin = 12;    // left and top of each cell, outside its active part
constexpr int kFileColumnStep = 110;   // frame width per column
constexpr uint32_t kFolderCheckTicks = 600;

// The framework commands the list answers besides Clear.
constexpr CommandT cmd_ItemInfo = CommandT(FourCC("Info"));
constexpr CommandT cmd_PlayItem = CommandT(FourCC("Play"));
constexpr CommandT cmd_SelectNone = CommandT(FourCC("SelN"));

class CFileListBase : public LView, public LCommander, public LPeriodical {
public:
    explicit CFileListBase(QWidget* parent = nullptr);
    ~CFileListBase() override;

    // ---- Geometry (pure) ----
    // Columns for a frame width; never fewer than one.
    static int32_t ColumnsForWidth(int32_t frameWidth);
    static int32_t RowsFor(int32_t count, int32_t columns);
    static QSize ImageSizeFor(int32_t columns, int32_t rows);
    // Cell index from 1: its whole box, and its active part (hit area, frame).
    QRect CellBox(int32_t index) const;
    QRect CellActiveRect(int32_t index) const;
    // The cell whose active part holds an image point; 0 for none.
    int32_t CellAt(QPoint imagePoint) const;

    int32_t GetColumns() const { return mColumns; }
    int32_t GetRows() const { return mRows; }
    int32_t CountItems() const { return mItems.GetCount(); }
    FSSpec GetItem(int32_t index) const { return mItems[index]; }
    int32_t IndexOfItem(const FSSpec& file) const;

    // ---- The folder ----
    std::string PresetsFolderPath() const;
    void Reload();
    // The next idle pass reads the folder again.
    void ReloadSoon() { mFolderDate = 0; mNextCheck = 0; }
    uint32_t GetFolderDate() const { return mFolderDate; }
    // Ticks until the next folder check (0 when it is due).
    uint32_t TicksUntilCheck() const;
    // The folder's date as a 32-bit stamp; 0 when it cannot be read.
    static uint32_t FolderDate(const std::string& folderPath);

    // ---- Selection and editing ----
    const FSSpec& GetSelection() const { return mSelection; }
    void SelectItem(const FSSpec& file);
    void RemoveFile(const FSSpec& file);
    // Deletes the selected preset; with ask, only after the user said Yes.
    // True when a file was deleted.
    bool DeleteSelection(bool ask);

    // Asks for a new preset file in the presets folder (the folder is made
    // when missing); the name gets the type's extension; an existing file
    // of that name is deleted. False when the user cancelled.
    bool SavePreset(FSSpec& outFile, OSType fileType);
    // Copies a file into the presets folder under its own name.
    bool CopyPreset(const FSSpec& file);

    // The folder check.
    void SpendTime(const EventRecord& event) override;

    // This list is where the commands go.
    bool IsTarget() const;

protected:
    // ---- What derived lists supply ----
    // Adds the file to the grid; derived lists filter by type first.
    virtual void AddFileItem(const FSSpec& file, OSType fileType);
    virtual void AddFolderItem(const FSSpec& folder) { (void)folder; }
    // Removes the cell and deletes the file.
    virtual void DeleteItem(const FSSpec& file);
    virtual void SelectionChanged() {}
    virtual void PlayItem(const FSSpec& file) { (void)file; }
    virtual bool CanPlay() const { return false; }
    virtual void ShowItemInfo(const FSSpec& file) { (void)file; }
    virtual void OpenItem(const FSSpec& file) { (void)file; }
    virtual void DragItem(const SViewMouse& mouse, const FSSpec& file, const QRect& cell) {
        (void)mouse, (void)file, (void)cell;
    }
    virtual std::string FolderName() const = 0;
    // Draws a cell's content inside the drawing context that is open.
    virtual void DrawItem(const QRect& content, const FSSpec& file, bool active) {
        (void)content, (void)file, (void)active;
    }

    // ---- View ----
    void FinishCreateSelf() override;
    void FrameResized() override;
    void DrawSelf() override;
    void ClickSelf(const SViewMouse& mouse) override;
    void TrackMouseSelf(const SViewMouse& mouse) override;
    void ReleaseMouseSelf(const SViewMouse& mouse) override;
    void AdjustMouseSelf(const SViewMouse& mouse) override;
    void ActivateSelf() override { Refresh(); }
    void DeactivateSelf() override { Refresh(); }
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // A name cut off in its cell shows whole as a tooltip.
    bool viewportEvent(QEvent* event) override;

    // ---- Commander ----
    bool HandleCommand(CommandT command, void* parameter) override;
    bool FindCommandStatus(CommandT command, SCommandStatus& status) override;
    bool HandleKeyPress(const QKeyEvent& key) override;

    void LayoutGrid();
    void RefreshCell(int32_t index);

private:
    void ReadFolder(const std::string& folderPath, int depth);
    void DrawCell(int32_t index, bool windowActive, bool showSelection);

    int32_t mColumns = 1;
    int32_t mRows = 0;
    QSet<QString> mCutOffNames;  // names too wide for their cell when last drawn
    FSSpec mSelection;
    TArray<FSSpec> mItems;
    uint32_t mFolderDate = 0;
    uint32_t mNextCheck = 0;

    // Mouse tracking of one press.
    int32_t mPressedCell = 0;
    QPoint mPressPoint;
    bool mDoubleClick = false;
    bool mDragStarted = false;
};
