#include "appearance/QtDrawingContext.h"

QtDrawingContext::QtDrawingContext(QPaintDevice* device) {
    if (device == nullptr) return;
    if (device->paintingActive()) {
        // Another context of ours draws into this device already: share it.
        mPainter = nullptr;
        return;
    }
    mOwned = std::make_unique<QPainter>();
    if (!mOwned->begin(device)) {
        mOwned.reset();
        return;
    }
    mPainter = mOwned.get();
    mPainter->save();
    mSaved = true;
}

QtDrawingContext::QtDrawingContext(QPainter* painter) : mPainter(painter) {
    if (mPainter != nullptr && mPainter->isActive()) {
        mPainter->save();
        mSaved = true;
    }
}

QtDrawingContext::~QtDrawingContext() {
    if (mPainter != nullptr && mSaved && mPainter->isActive()) mPainter->restore();
    if (mOwned) mOwned->end();
}
