// The live data-rate graph of the compression progress window (pane
// 'Drat'): bars for the most recent frames or sound blocks, key frames in
// red, the one-second rate line, a kilobyte axis and time marks. All the
// arithmetic is DataRateTracker's; this view only draws its layout.
#pragma once

#include <QWidget>
#include <cstdint>

#include "compress/DataRateTracker.h"

class CDataRateView : public QWidget {
    Q_OBJECT

public:
    explicit CDataRateView(QWidget* parent = nullptr);

    // Draws the samples of another tracker (the progress window's); null
    // goes back to the view's own.
    void SetTracker(DataRateTracker* tracker);
    DataRateTracker& Tracker() { return *mTracker; }

    // Each of these redraws at once.
    void Reset(DataRateTracker::Mode mode);
    void AddFrame(int32_t size, int32_t duration600, bool keyFrame);
    void AddSoundChunk(int32_t size, int32_t duration600);
    void Redraw();

    // "m:ss" below ten minutes, "h:mm:ss" from an hour on.
    static QString TimeText(int32_t time600);

    QSize sizeHint() const override { return {360, 150}; }
    QSize minimumSizeHint() const override { return {120, 80}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int kTopMargin = 8;

    DataRateTracker mOwnTracker;
    DataRateTracker* mTracker = &mOwnTracker;
};
