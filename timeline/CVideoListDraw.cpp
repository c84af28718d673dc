// Drawing of the timeline. Only the boxes that meet the area being drawn
// are painted, so long timelines with many segments draw in constant time
// per frame.
#include <QPainter>
#include <QPalette>
#include <QString>
#include <cstdio>

#include "appearance/AppearanceTables.h"
#include "catalogs/CompressionSettingsEditing.h"
#include "model/CTambleVideoDocModel.h"
#include "model/DescriptionTime.h"
#include "platform/media/encode/VideoSettings.h"
#include "resources/StringLists.h"
#include "timeline/CVideoList.h"
#include "timeline/TimelineMath.h"

using namespace timeline;

namespace {

// The timeline's colours, all taken from the widget's palette so that it
// follows a light or dark desktop: boxes are the highlight colour (and,
// for sound, the same shade turned on the colour wheel) washed into the
// base colour.
struct Colours {
    QColor background, text, line, videoBox, audioBox, selectedBox, selectedText, placeholderBox,
        placeholderText, span, hatch, feedback, playhead;
};

QColor Mix(const QColor& a, const QColor& b, double weightOfA) {
    return QColor::fromRgbF(float(a.redF() * weightOfA + b.redF() * (1 - weightOfA)),
                            float(a.greenF() * weightOfA + b.greenF() * (1 - weightOfA)),
                            float(a.blueF() * weightOfA + b.blueF() * (1 - weightOfA)));
}

Colours ColoursFrom(const QPalette& palette) {
    Colours c;
    const QColor base = palette.color(QPalette::Base);
    const QColor highlight = palette.color(QPalette::Highlight);
    c.background = palette.color(QPalette::Window);
    c.text = palette.color(QPalette::Text);
    c.line = palette.color(QPalette::WindowText);
    c.videoBox = Mix(highlight, base, 0.35);
    QColor turned = highlight.toHsv();
    turned.setHsv((turned.hue() + 240) % 360, turned.saturation(), turned.value());
    c.audioBox = Mix(turned, base, 0.35);
    c.selectedBox = highlight;
    c.selectedText = palette.color(QPalette::HighlightedText);
    c.placeholderBox = base;
    c.placeholderText = palette.color(QPalette::PlaceholderText);
    c.span = highlight;
    c.hatch = palette.color(QPalette::Mid);
    c.feedback = palette.color(QPalette::Text);
    c.playhead = *ColorForCode(kColorRed);
    return c;
}

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

void FillDisabled(QPainter& p, const QRect& r, const Colours& c) {
    p.fillRect(r, QBrush(c.hatch, Qt::Dense5Pattern));
}

}  // namespace

void CVideoList::DrawSelf() {
    QPainter painter(viewport());
    const QPoint scroll = GetScrollPosition();
    painter.translate(-scroll);
    DrawInto(painter, GetUpdateRegion().boundingRect());
}

void CVideoList::DrawInto(QPainter& p, const QRect& area) {
    p.fillRect(area, ColoursFrom(palette()).background);
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
    const Colours c = ColoursFrom(palette());
    const int32_t width = GetImageSize().width();
    p.setPen(c.line);
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
        p.fillRect(QRect(std::min(a, b), 24, std::abs(a - b) + 1, 6), c.span);
    }
}

void CVideoList::DrawRow(QPainter& p, const QRect& area, bool video) {
    const int32_t top = video ? kVideoTop : kAudioTop;
    const int32_t bottom = video ? kVideoBottom : kAudioBottom;
    const int32_t endX = DurationX();
    const bool hasTrack = video ? mModel->HasVideo() : mModel->HasAudio();
    const Colours c = ColoursFrom(palette());
    if (!hasTrack) {
        FillDisabled(p, QRect(0, top, endX, bottom - top), c);
        return;
    }
    const CDescriptionList& list = video ? mModel->VideoSegments() : mModel->AudioSegments();
    QFont small = p.font();
    small.setPixelSize(11);
    p.setFont(small);
    if (list.IsEmpty()) {
        const QRect box(0, top + kBoxInset, endX, kPlaceholderHeight - kBoxInset);
        p.fillRect(box, c.placeholderBox);
        p.setPen(c.line);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        const QString prompt = video ? LabelText(17, "Drop video settings here")
                                     : LabelText(18, "Drop sound settings here");
        // Each prompt stays inside its 200-pixel lane and the box.
        p.save();
        p.setClipRect(box.adjusted(1, 1, -1, -1) & area);
        p.setPen(c.placeholderText);
        for (int32_t x = std::max(0, area.left() / 200 * 200 - 200); x < std::min(endX, area.right() + 1); x += 200) {
            const QRect lane(x + 4, box.top(), std::min(196, endX - x - 8), box.height());
            if (lane.width() > 0)
                p.drawText(lane, Qt::AlignVCenter | Qt::AlignLeft,
                           p.fontMetrics().elidedText(prompt, Qt::ElideRight, lane.width()));
        }
        p.restore();
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
        p.fillRect(box, selected ? c.selectedBox : (video ? c.videoBox : c.audioBox));
        p.setPen(c.line);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        const QRect textBox = box.adjusted(4, 0, -4, 0);
        p.setPen(selected ? c.selectedText : c.text);
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
            p.setPen(c.line);
            p.drawText(r, flags, text);
        };
        label(start, x0);
        label(end, x1);
    }
}

void CVideoList::DrawExcludedRanges(QPainter& p) {
    const Colours c = ColoursFrom(palette());
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
            p.fillRect(r, c.placeholderBox);
            FillDisabled(p, r, c);
            p.setPen(selected ? c.span : c.line);
            p.drawRect(r.adjusted(0, 0, -1, -1));
            if (selected) p.drawRect(r.adjusted(1, 1, -2, -2));
        }
    }
}

void CVideoList::DrawPlayhead(QPainter& p) {
    const QColor playhead = ColoursFrom(palette()).playhead;
    const int32_t x = TimeToX(mPlayhead, mPixelsPerSecond);
    p.setPen(playhead);
    p.drawLine(x, 24, x, kAudioBottom);
    p.fillRect(QRect(x - 5, 0, 11, 11), playhead);
}

void CVideoList::DrawDropFeedback(QPainter& p) {
    if (mDropIndicator == -1) return;
    const QColor feedback = ColoursFrom(palette()).feedback;
    QPen ring(feedback, 2);
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
        p.fillRect(QRect(mDropMarkerX - 2, 43, 4, kVideoBottom - 43), feedback);
    } else if (Handle* segment = mModel->GetVideoSegment(mDropRingIndex)) {
        STimeValue s, e;
        GetDescriptionTime(segment, s, e);
        const int32_t x0 = TimeToX(s, mPixelsPerSecond);
        p.drawRect(QRect(x0, kVideoTop + kBoxInset, TimeToX(e, mPixelsPerSecond) - x0, kVideoBottom - kVideoTop - kBoxInset)
                       .adjusted(1, 1, -1, -1));
    }
}
