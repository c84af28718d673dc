// Drawing of the timeline. Only the boxes that meet the area being drawn
// are painted, so long timelines with many segments draw in constant time
// per frame.
#include <QPainter>
#include <QString>
#include <cstdio>

#include "catalogs/CompressionSettingsEditing.h"
#include "model/CTambleVideoDocModel.h"
#include "model/DescriptionTime.h"
#include "platform/media/encode/VideoSettings.h"
#include "resources/StringLists.h"
#include "timeline/CVideoList.h"
#include "timeline/TimelineMath.h"

using namespace timeline;

namespace {

const QColor kBackground(236, 236, 236);
const QColor kRulerColor(60, 60, 60);
const QColor kVideoBox(176, 204, 236);
const QColor kAudioBox(184, 226, 184);
const QColor kSelectedBox(255, 214, 120);
const QColor kPlaceholderBox(250, 250, 250);
const QColor kSpanColor(90, 130, 220);
const QColor kPlayheadColor(210, 40, 40);

QString LabelText(int16_t item, const char* fallback) {
    const std::string text = GetIndString(1002, item);
    return text.empty() ? QString::fromLatin1(fallback) : QString::fromStdString(text);
}

// m:ss.ff at the timeline's resolution.
QString FormatTime(const STimeValue& t) {
    const int32_t hundredths = t.ValueIn(100);
    const int32_t seconds = hundredths / 100;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d.%02d", seconds / 60, seconds % 60, hundredths % 100);
    return QString::fromLatin1(text);
}

QString FourCCText(OSType type) {
    char c[5] = {char(type >> 24), char(type >> 16), char(type >> 8), char(type), 0};
    return QString::fromLatin1(c).trimmed();
}

// Codec, quality, frame rate and data rate of video settings.
QString VideoSummary(const Handle* settings) {
    if (settings == nullptr) return {};
    try {
        const VideoSettings v = VideoSettings::FromHandle(*settings);
        QString s = FourCCText(v.codecType) + QStringLiteral(", q%1").arg(v.spatialQuality * 100 / 1024);
        if (v.frameRate != 0) s += QStringLiteral(", %1 fps").arg(double(v.frameRate) / 65536.0, 0, 'g', 4);
        if (v.dataRate != 0) s += QStringLiteral(", %1 KB/s").arg(v.dataRate / 1024);
        return s;
    } catch (...) {
        return {};
    }
}

QString SegmentLabel(const Handle* settings, bool video) {
    std::string name;
    QString label;
    if (settings != nullptr && DescribeSettings(*settings, name)) label = QString::fromStdString(name);
    if (video) {
        const QString summary = VideoSummary(settings);
        if (!summary.isEmpty()) label = label.isEmpty() ? summary : label + QStringLiteral(" (") + summary + ')';
    }
    return label;
}

void FillDisabled(QPainter& p, const QRect& r) {
    p.fillRect(r, QBrush(QColor(150, 150, 150), Qt::Dense5Pattern));
}

}  // namespace

void CVideoList::DrawSelf() {
    QPainter painter(viewport());
    const QPoint scroll = GetScrollPosition();
    painter.translate(-scroll);
    DrawInto(painter, GetUpdateRegion().boundingRect());
}

void CVideoList::DrawInto(QPainter& p, const QRect& area) {
    p.fillRect(area, kBackground);
    if (!HasMovie()) return;
    p.setClipRect(area);
    DrawRuler(p, area);
    DrawRow(p, area, true);
    DrawRow(p, area, false);
    DrawExcludedRanges(p);
    DrawDropFeedback(p);
    DrawPlayhead(p);
}

void CVideoList::DrawRuler(QPainter& p, const QRect& area) {
    const int32_t width = GetImageSize().width();
    p.setPen(kRulerColor);
    p.drawLine(0, 29, width, 29);
    // Ticks every second, labelled where there is room for a label.
    int32_t secondsPerTick = 1;
    while (secondsPerTick * mPixelsPerSecond < 8) secondsPerTick *= 2;
    int32_t labelEvery = secondsPerTick;
    while (labelEvery * mPixelsPerSecond < 80) labelEvery *= 2;
    const int32_t first = std::max(0, area.left() / mPixelsPerSecond / secondsPerTick * secondsPerTick);
    QFont small = p.font();
    small.setPixelSize(10);
    p.setFont(small);
    for (int32_t s = first; s * int64_t(mPixelsPerSecond) <= std::min(area.right(), width); s += secondsPerTick) {
        const int32_t x = s * mPixelsPerSecond;
        const bool labelled = s % labelEvery == 0;
        p.drawLine(x, labelled ? 18 : 24, x, 28);
        if (labelled) p.drawText(x + 2, 14, FormatTime(STimeValue{s, 1}));
    }
    // The time span selection, in the band just above the base line.
    if (mAnchor.value != -1) {
        const int32_t a = TimeToX(mAnchor, mPixelsPerSecond);
        const int32_t b = TimeToX(mPlayhead, mPixelsPerSecond);
        p.fillRect(QRect(std::min(a, b), 24, std::abs(a - b) + 1, 6), kSpanColor);
    }
}

void CVideoList::DrawRow(QPainter& p, const QRect& area, bool video) {
    const int32_t top = video ? kVideoTop : kAudioTop;
    const int32_t bottom = video ? kVideoBottom : kAudioBottom;
    const int32_t endX = DurationX();
    const bool hasTrack = video ? mModel->HasVideo() : mModel->HasAudio();
    if (!hasTrack) {
        FillDisabled(p, QRect(0, top, endX, bottom - top));
        return;
    }
    CDescriptionList& list = video ? mModel->VideoSegments() : mModel->AudioSegments();
    QFont small = p.font();
    small.setPixelSize(11);
    p.setFont(small);
    if (list.IsEmpty()) {
        const QRect box(0, top + kBoxInset, endX, kPlaceholderHeight - kBoxInset);
        p.fillRect(box, kPlaceholderBox);
        p.setPen(kRulerColor);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        const QString prompt = video ? LabelText(17, "Drop video settings here")
                                     : LabelText(18, "Drop sound settings here");
        for (int32_t x = std::max(0, area.left() / 200 * 200 - 200); x < std::min(endX, area.right() + 1); x += 200)
            p.drawText(QRect(x + 4, box.top(), 196, box.height()), Qt::AlignVCenter | Qt::AlignLeft, prompt);
        return;
    }
    const bool focused = hasFocus();
    const int32_t kind = video ? kVideo : kAudio;
    int32_t lastLabelRight = INT32_MIN;
    const int32_t count = list.Count();
    for (int32_t i = 1; i <= count; ++i) {
        const Handle* segment = list.Get(i);
        STimeValue start, end;
        GetDescriptionTime(segment, start, end);
        const int32_t x0 = TimeToX(start, mPixelsPerSecond);
        const int32_t x1 = TimeToX(end, mPixelsPerSecond);
        // Labels reach half their width either side of a boundary.
        if (x1 + kLabelWidth < area.left() || x0 - kLabelWidth > area.right()) {
            continue;
        }
        const QRect box(x0, top + kBoxInset, std::max(1, x1 - x0), bottom - top - kBoxInset);
        const bool selected = focused && mSelectedKind == kind && mSelectedIndex == i;
        p.fillRect(box, selected ? kSelectedBox : (video ? kVideoBox : kAudioBox));
        p.setPen(kRulerColor);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        const QRect textBox = box.adjusted(4, 0, -4, 0);
        if (textBox.width() > 8 && textBox.intersects(area))
            p.drawText(textBox, Qt::AlignVCenter | Qt::AlignLeft,
                       p.fontMetrics().elidedText(SegmentLabel(segment, video), Qt::ElideRight, textBox.width()));
        // Boundary time labels above the box, skipped where they would overlap.
        const int32_t labelTop = top;
        const int32_t labelHeight = kBoxInset;
        auto label = [&](const STimeValue& t, int32_t x) {
            QRect r;
            int flags = Qt::AlignVCenter;
            QString text;
            if (t.value == 0) {
                r = QRect(2, labelTop, kLabelWidth, labelHeight);
                flags |= Qt::AlignLeft;
                text = LabelText(15, "Start");
            } else if (t >= Duration()) {
                r = QRect(x - kLabelWidth, labelTop, kLabelWidth, labelHeight);
                flags |= Qt::AlignRight;
                text = LabelText(16, "End");
            } else {
                r = QRect(x - kLabelWidth / 2, labelTop, kLabelWidth, labelHeight);
                flags |= Qt::AlignHCenter;
                text = FormatTime(t);
            }
            if (r.left() <= lastLabelRight) return;
            lastLabelRight = r.right();
            p.drawText(r, flags, text);
        };
        label(start, x0);
        label(end, x1);
    }
}

void CVideoList::DrawExcludedRanges(QPainter& p) {
    const int32_t count = mModel->ExcludedRangeCount();
    for (int32_t i = 1; i <= count; ++i) {
        const TimeRange* range = mModel->GetExcludedRange(i);
        if (range == nullptr) continue;
        const int32_t x0 = TimeToX(range->start, mPixelsPerSecond);
        const int32_t x1 = TimeToX(range->end, mPixelsPerSecond);
        const bool selected = mSelectedKind == kRange && mSelectedIndex == i;
        for (int32_t top : {kVideoTop, kAudioTop}) {
            const int32_t bottom = top == kVideoTop ? kVideoBottom : kAudioBottom;
            const QRect r(x0, top + kBoxInset, std::max(1, x1 - x0), bottom - top - kBoxInset);
            p.fillRect(r, QColor(255, 255, 255));
            FillDisabled(p, r);
            p.setPen(selected ? kSpanColor : kRulerColor);
            p.drawRect(r.adjusted(0, 0, -1, -1));
            if (selected) p.drawRect(r.adjusted(1, 1, -2, -2));
        }
    }
}

void CVideoList::DrawPlayhead(QPainter& p) {
    const int32_t x = TimeToX(mPlayhead, mPixelsPerSecond);
    p.setPen(kPlayheadColor);
    p.drawLine(x, 24, x, kAudioBottom);
    p.fillRect(QRect(x - 5, 0, 11, 11), kPlayheadColor);
}

void CVideoList::DrawDropFeedback(QPainter& p) {
    if (mDropIndicator == -1) return;
    QPen ring(QColor(0, 0, 0), 2);
    p.setPen(ring);
    p.setBrush(Qt::NoBrush);
    if (mDropIndicator == 2) {
        QRect r(0, kAudioTop, DurationX(), kAudioBottom - kAudioTop);
        if (Handle* first = mModel->GetAudioSegment(1)) {
            STimeValue s, e;
            GetDescriptionTime(first, s, e);
            r = QRect(TimeToX(s, mPixelsPerSecond), kAudioTop + kBoxInset,
                      TimeToX(e, mPixelsPerSecond) - TimeToX(s, mPixelsPerSecond), kAudioBottom - kAudioTop - kBoxInset);
        }
        p.drawRect(r.adjusted(1, 1, -1, -1));
        return;
    }
    if (mModel->VideoSegmentCount() == 0) {
        p.drawRect(QRect(0, kVideoTop, DurationX(), kVideoBottom - kVideoTop).adjusted(1, 1, -1, -1));
    } else if (mDropRingIndex == 0) {
        p.fillRect(QRect(mDropMarkerX - 2, 43, 4, kVideoBottom - 43), QColor(0, 0, 0));
    } else if (Handle* segment = mModel->GetVideoSegment(mDropRingIndex)) {
        STimeValue s, e;
        GetDescriptionTime(segment, s, e);
        const int32_t x0 = TimeToX(s, mPixelsPerSecond);
        p.drawRect(QRect(x0, kVideoTop + kBoxInset, TimeToX(e, mPixelsPerSecond) - x0, kVideoBottom - kVideoTop - kBoxInset)
                       .adjusted(1, 1, -1, -1));
    }
}
