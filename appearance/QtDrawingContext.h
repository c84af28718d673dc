// The device context of a drawing context: a QPainter on a paint device
// (a view's frame, an image), opened for one drawing pass. A painter that
// is already drawing into the same device (an outer context) is borrowed,
// since Qt allows one painter per device; borrowed or owned, the
// painter's state is saved on opening and restored on closing.
#pragma once

#include <QPaintDevice>
#include <QPainter>
#include <memory>

class QtDrawingContext {
public:
    // Opens a painter on the device; null or unpaintable leaves it invalid.
    explicit QtDrawingContext(QPaintDevice* device);
    // Borrows an active painter (an erase attachment inside a paint event).
    explicit QtDrawingContext(QPainter* painter);
    ~QtDrawingContext();
    QtDrawingContext(const QtDrawingContext&) = delete;
    QtDrawingContext& operator=(const QtDrawingContext&) = delete;

    bool IsValid() const { return mPainter != nullptr && mPainter->isActive(); }
    QPainter* Painter() const { return IsValid() ? mPainter : nullptr; }
    QPaintDevice* Device() const { return mPainter != nullptr ? mPainter->device() : nullptr; }

private:
    std::unique_ptr<QPainter> mOwned;
    QPainter* mPainter = nullptr;
    bool mSaved = false;
};
