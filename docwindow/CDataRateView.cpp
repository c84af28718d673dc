#include "docwindow/CDataRateView.h"

#include <QPainter>
#include <QPainterPath>

CDataRateView::CDataRateView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CDataRateView::SetTracker(DataRateTracker* tracker) {
    mTracker = tracker != nullptr ? tracker : &mOwnTracker;
    update();
}

void CDataRateView::Reset(DataRateTracker::Mode mode) {
    mTracker->Reset(mode);
    Redraw();
}

void CDataRateView::AddFrame(int32_t size, int32_t duration600, bool keyFrame) {
    mTracker->AddFrame(size, duration600, keyFrame);
    Redraw();
}

void CDataRateView::AddSoundChunk(int32_t size, int32_t duration600) {
    mTracker->AddSoundChunk(size, duration600);
    Redraw();
}

// The compression runs on this thread, so "at once" means painting now
// rather than when the loop next gets to it.
void CDataRateView::Redraw() {
    if (isVisible())
        repaint();
    else
        update();
}

QString CDataRateView::TimeText(int32_t time600) {
    const int32_t seconds = time600 / 600;
    const int32_t h = seconds / 3600, m = (seconds / 60) % 60, s = seconds % 60;
    if (h > 0) return QString::asprintf("%d:%02d:%02d", h, m, s);
    return QString::asprintf("%d:%02d", m, s);
}

void CDataRateView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Base));
    // The plot starts a little below the top so the highest label fits.
    const DataRateLayout layout = mTracker->Layout(width(), height() - kTopMargin);
    p.translate(0, kTopMargin);

    const QColor ink = pal.color(QPalette::Text);
    QColor grid = pal.color(QPalette::Mid);
    grid.setAlpha(110);
    QFont labelFont = font();
    labelFont.setPointSizeF(std::max(6.5, labelFont.pointSizeF() * 0.8));
    p.setFont(labelFont);

    // Axes: vertical at 31 px from the plot's left, horizontal 20 px above
    // its bottom.
    const int left = layout.plotLeft - DataRateTracker::kLeftMargin;
    const int right = layout.plotRight;
    const int bottom = layout.plotBottom;
    p.setPen(QPen(ink, 1));
    p.drawLine(left + 31, layout.plotTop, left + 31, bottom + DataRateTracker::kBottomMargin - 16);
    p.drawLine(left + 28, bottom + 1, right, bottom + 1);

    for (const DataRateLayout::Tick& tick : layout.ticks) {
        p.setPen(QPen(ink, 1));
        p.drawLine(left + 27, tick.y, left + 31, tick.y);
        p.drawText(QRect(left, tick.y - 7, 26, 14), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(tick.value / 1024));
        p.setPen(QPen(grid, 1));
        p.drawLine(layout.plotLeft, tick.y, right, tick.y);
    }

    for (const DataRateLayout::TimeMark& mark : layout.timeMarks) {
        p.setPen(QPen(grid, 1));
        p.drawLine(mark.x, layout.plotTop, mark.x, bottom);
        int textX = mark.x - 4;
        if (mark.time > 6000) textX -= 8;
        if (mark.time > 60000) textX -= 8;
        p.setPen(QPen(ink, 1));
        p.drawText(QPoint(textX, bottom + 13), TimeText(mark.time));
    }

    // Bars: 2 px wide, key frames red.
    QColor barColour = pal.color(QPalette::Highlight);
    for (const DataRateLayout::Bar& bar : layout.bars) {
        const QColor& c = bar.keyFrame ? QColor(255, 0, 0) : barColour;
        p.fillRect(QRect(QPoint(bar.x, bar.top), QPoint(bar.x + 1, bottom)), c);
    }

    if (layout.rateLine.size() > 1) {
        QPainterPath path;
        path.moveTo(layout.rateLine.front().x, layout.rateLine.front().y);
        for (size_t i = 1; i < layout.rateLine.size(); ++i)
            path.lineTo(layout.rateLine[i].x, layout.rateLine[i].y);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(30, 170, 70), 2));
        p.drawPath(path);
    }
}
