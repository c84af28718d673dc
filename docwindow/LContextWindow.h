// A window that keeps a drawing context of its own open for as long as it
// exists, so that drawing done outside a paint pass (tracking feedback)
// always has somewhere to go. Qt paints widgets only inside paint events,
// so the context draws into an overlay surface the size of the window as
// it was built, shown over the window's panes.
#pragma once

#include <memory>

#include "framework/FourCharCode.h"
#include "framework/gui/LWindow.h"

class QImage;
class QWidget;
class StDrawingContext;

class LContextWindow : public LWindow {
    Q_OBJECT

public:
    static constexpr OSType kClassID = FourCC("CWIN");

    explicit LContextWindow(LCommander* superCommander, Kind kind = kDocumentWindow);
    ~LContextWindow() override;

    // Builds layout n as a context window.
    static LContextWindow* CreateContextWindow(int16_t layoutNumber, LCommander* superCommander,
                                               Kind kind = kDocumentWindow);

    // The context kept open (null when there is no drawing layer).
    StDrawingContext* GetDrawingContext() const { return mContext.get(); }
    // Shows what was drawn through the context since the last call.
    void FlushDrawing();
    // Wipes the overlay.
    void ClearDrawing();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OpenContext();

    std::unique_ptr<QImage> mSurface;
    QWidget* mOverlay = nullptr;
    std::unique_ptr<StDrawingContext> mContext;
};
