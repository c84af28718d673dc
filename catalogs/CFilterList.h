// The document's filter chain: one cell per filter with its name and a
// thumbnail of the test picture run through it. Effect presets dropped
// between cells are inserted there; a double click opens the filter's
// parameters; the delete keys remove the selected filter. The list
// observes the document model, which owns the filters.
#pragma once

#include <QImage>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "framework/gui/CDelayedReceiver.h"
#include "framework/gui/LCommander.h"
#include "framework/gui/LView.h"
#include "model/CObserver.h"
#include "platform/media/FSSpec.h"
#include "platform/media/OffscreenWorld.h"

class CTambleDocModel;

constexpr int kFilterCellHeight = 72;   // stacked
constexpr int kFilterCellWidth = 92;    // side by side
constexpr int kFilterEditPictureSize = 200;

class CFilterList : public LView, public LCommander, public CObserver, public CDelayedReceiver {
public:
    explicit CFilterList(QWidget* parent = nullptr);
    ~CFilterList() override;

    // Not owned; null detaches.
    void SetModel(CTambleDocModel* model);
    CTambleDocModel* GetModel() const;

    // False: cells stacked top to bottom; true: side by side.
    void SetSideBySide(bool sideBySide);
    bool IsSideBySide() const { return mSideBySide; }

    // Where the parameter dialog gets its picture of the current frame
    // (the movie preview); without one it asks the model for the frame.
    using PictureSource = std::function<std::unique_ptr<OffscreenWorld>(int width, int height)>;
    void SetPictureSource(PictureSource source) { mPictureSource = std::move(source); }

    // 1-based; 0 = none.
    int32_t GetSelection() const { return mSelection; }
    void SetSelection(int32_t index);

    // ---- Geometry, in image coordinates ----
    static QSize ImageSizeFor(int32_t count, bool sideBySide);
    QRect CellBox(int32_t index) const;   // before the 2-pixel inset
    int32_t CellAt(QPoint imagePoint) const;
    // Where a filter dropped at this point goes: before the cell under
    // it, or after it past its middle; after the last one elsewhere.
    int32_t DropIndexAt(QPoint imagePoint) const;
    // The insertion mark shown during a drag; empty when none.
    QRect InsertMarkRect() const { return mInsertMark; }

    // ---- Editing ----
    // Reads an effect preset and inserts it at the point (as a drop).
    // False when there is no model or the file is not an effect that may
    // be used.
    bool InsertPresetAt(const FSSpec& presetFile, QPoint imagePoint);
    void EditFilter(int32_t index);
    void DeleteSelectedFilter();

    // ---- Model and drops ----
    void Update(OSType senderKind, int32_t changeCode, void* arg1, int32_t arg2, int32_t arg3,
                int32_t arg4) override;
    bool ReceiveDropItem(Handle& data, OSType flavor, QPoint dropPoint, int32_t extra) override;
    bool TrackDragInside(QPoint imagePoint) override;
    QSize minimumSizeHint() const override;

protected:
    void LeaveDropArea() override;
    void FinishCreateSelf() override;
    void FrameResized() override;
    void DrawSelf() override;
    void ClickSelf(const SViewMouse& mouse) override;
    void ActivateSelf() override { Refresh(); }
    void DeactivateSelf() override { Refresh(); }
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool HandleKeyPress(const QKeyEvent& key) override;

private:
    void LayoutImage();
    void RefreshCell(int32_t index);
    void DrawCell(int32_t index, bool active, bool showSelection);
    const QImage& ThumbnailFor(const Handle& filter);
    std::unique_ptr<OffscreenWorld> PictureForEditing();
    bool IsTarget() const;

    CTambleDocModel* mModel = nullptr;
    int32_t mSelection = 0;
    bool mSideBySide = false;
    PictureSource mPictureSource;
    QRect mInsertMark;
    bool mDoubleClick = false;
    std::map<std::vector<uint8_t>, QImage> mThumbnails;  // by the filter's bytes
};
