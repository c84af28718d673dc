// The timeline on a real movie, driven offscreen: drops of presets, clicks
// and drags in its bands, deletion and zoom.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListView>
#include <QTest>
#include <QVBoxLayout>
#include <filesystem>

#include "catalogs/PresetFile.h"
#include "framework/LPeriodical.h"
#include "framework/gui/DragFlavors.h"
#include "framework/gui/LCommandMenus.h"
#include "framework/gui/LPopupButton.h"
#include "framework/gui/LSlider.h"
#include "model/CTambleVideoDocModel.h"
#include "platform/media/AtomContainer.h"
#include "model/DescriptionTime.h"
#include "model/SChangeInfo.h"
#include "platform/media/encode/VideoSettings.h"
#include "support/MouseEvents.h"
#include "support/TestSupport.h"
#include "timeline/CVideoList.h"

namespace fs = std::filesystem;

namespace {

// Ten seconds, ten frames a second, with sound.
fs::path TenSecondMovie() {
    return testsupport::FixtureMovie(
        "timeline_ten.mov",
        "-f lavfi -i testsrc2=size=160x120:rate=10:duration=10 -f lavfi -i sine=frequency=440:duration=10 "
        "-c:v mpeg4 -q:v 5 -g 10 -c:a aac -shortest");
}

fs::path Preset(const std::string& name, const Handle& record) {
    const fs::path path = testsupport::ScratchDir() / name;
    EXPECT_TRUE(WritePresetFile(testsupport::Spec(path), record));
    return path;
}
fs::path VideoPreset(const std::string& name, OSType codec) { return Preset(name, MakeVideoSettings(codec)); }

STimeValue T600(int32_t v) { return STimeValue{v, 600}; }
// Boundaries are dragged by the band above the boxes (y 30 to 43).
constexpr int kBoundaryBand = 36;

struct Span {
    STimeValue start, end;
    bool operator==(const Span&) const = default;
};
Span SpanOf(const Handle* h) {
    Span s;
    GetDescriptionTime(h, s.start, s.end);
    return s;
}

// The window around the list hears every command the list leaves alone.
class CommandWindow : public QWidget, public LCommander {
public:
    std::vector<CommandT> heard;

protected:
    bool HandleCommand(CommandT command, void*) override {
        heard.push_back(command);
        return true;
    }
};

class VideoListTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* column = new QVBoxLayout(&window);
        column->setContentsMargins(0, 0, 0, 0);
        list = new CVideoList(&window);
        list->setFrameShape(QFrame::NoFrame);
        list->setFixedSize(800, 125);
        column->addWidget(list);
        window.show();
        list->FinishCreate();
        list->Activate();
        ASSERT_TRUE(model.SetSourceFile(testsupport::Spec(TenSecondMovie())));
        ASSERT_NE(model.GetMovie(), nullptr);
        list->SetModel(&model);
    }
    void TearDown() override { delete list; }

    QPoint Frame(int x, int y) const { return list->ImageToFrame(QPoint(x, y)); }

    void Drop(OSType flavor, const fs::path& preset, int x, int y) {
        auto record = MakeFileRecord(preset.string());
        ASSERT_TRUE(record.has_value());
        SDragItem item;
        item.flavors.push_back({flavor, *record});
        std::vector<SDragItem> items{item};
        list->HandleDragEnter(items, Frame(x, y));
        list->HandleDragMove(Frame(x, y));
        list->HandleDrop(items, Frame(x, y));
        LPeriodical::RunRepeatTasks(EventRecord{});
    }

    // A drag of a preset of this flavour enters and moves to an image
    // point; true when the list would take a drop there.
    bool Hover(OSType flavor, int x, int y) {
        SDragItem item;
        item.flavors.push_back({flavor, QByteArray(int(kFileRecordSize), '\0')});
        list->HandleDragEnter({item}, Frame(x, y));
        return list->HandleDragMove(Frame(x, y));
    }

    // Press at an image point, move to another (image x) in four steps, release.
    void DragImage(QPoint from, int toX, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        auto at = [&](int step) { return Frame(from.x() + (toX - from.x()) * step / 4, from.y()); };
        testsupport::DragThrough(list->viewport(), {at(0), at(1), at(2), at(3), at(4)}, mods);
    }
    void Key(int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(list, &event);
    }

    // Two video segments meeting at 5 s.
    void TwoSegments() {
        Drop(kFlavorVideoCodec, VideoPreset("First.QTcd", FourCC("mp4v")), 100, 50);
        ASSERT_EQ(model.VideoSegmentCount(), 1);
        const STimeValue maxLength = T600(6000);
        model.AddVideoSegment(std::make_unique<Handle>(MakeVideoSettings(FourCC("avc1"))), T600(0), &maxLength, nullptr);
        ASSERT_EQ(model.VideoSegmentCount(), 2);
        ASSERT_EQ(SpanOf(model.GetVideoSegment(1)).end, T600(3000));
    }

    CommandWindow window;
    CVideoList* list = nullptr;
    CTambleVideoDocModel model;
};

// Drag feedback follows the flavour dragged, not the row under the pointer;
// where there is none, the drag is refused.
TEST_F(VideoListTest, DragFeedbackFollowsTheFlavour) {
    struct Case {
        OSType flavor;
        int y;
        int32_t indicator;
    };
    for (const Case& c : {Case{kFlavorVideoCodec, 50, 1}, Case{kFlavorVideoCodec, 100, -1},
                          Case{kFlavorAudioCodec, 100, 2}, Case{kFlavorAudioCodec, 50, -1}}) {
        EXPECT_EQ(Hover(c.flavor, 330, c.y), c.indicator != -1) << c.y;
        EXPECT_EQ(list->GetDropIndicator(), c.indicator) << c.y;
        list->HandleDragLeave();
    }
}

// Drops on the ruler, on the sound row or of a marked preset are refused;
// the first covers the movie but for its excluded spans.
TEST_F(VideoListTest, DropsOutsideTheBandsOrOfMarkedPresetsAreRefusedTheFirstCoversTheMovie) {
    Drop(kFlavorVideoCodec, VideoPreset("Ruler.QTcd", FourCC("mp4v")), 100, 10);   // ruler
    Drop(kFlavorVideoCodec, VideoPreset("Audio.QTcd", FourCC("mp4v")), 100, 100);  // audio row
    AtomContainer marked;
    marked.Insert(FourCC("NONE"), 1, nullptr, 0);
    Drop(kFlavorVideoCodec, Preset("None.QTcd", marked.ToHandle()), 100, 50);
    EXPECT_EQ(model.VideoSegmentCount(), 0);
    model.AddExcludedRange(TimeRange(T600(1200), T600(2400)));
    Drop(kFlavorVideoCodec, VideoPreset("Whole.QTcd", FourCC("mp4v")), 400, 50);
    ASSERT_EQ(model.ExcludedRangeCount(), 1);
    ASSERT_EQ(model.VideoSegmentCount(), 2);
    EXPECT_EQ(SpanOf(model.GetVideoSegment(1)).start, T600(0));
    EXPECT_EQ(SpanOf(model.GetVideoSegment(2)).end, model.GetDuration());
    EXPECT_EQ(list->GetSelectedKind(), CVideoList::kVideo);
}

TEST_F(VideoListTest, DropNearABoundaryInsertsAndOnAMiddleReplaces) {
    TwoSegments();
    // 5 s is x 320; 10 pixels off is inside the 20-pixel edge zone.
    Drop(kFlavorVideoCodec, VideoPreset("Inserted.QTcd", FourCC("mjpa")), 330, 50);
    ASSERT_EQ(model.VideoSegmentCount(), 3);
    EXPECT_EQ(SpanOf(model.GetVideoSegment(list->GetSelectedIndex())).start, T600(3000));

    // The middle of the last segment (far from any boundary) is replaced.
    const int32_t before = model.VideoSegmentCount();
    const Span last = SpanOf(model.GetVideoSegment(before));
    const int midX = (last.start.ValueIn(600) + last.end.ValueIn(600)) / 2 * 64 / 600;
    Drop(kFlavorVideoCodec, VideoPreset("Replacer.QTcd", FourCC("mjpa")), midX, 50);
    EXPECT_EQ(model.VideoSegmentCount(), before);
    EXPECT_EQ(SpanOf(model.GetVideoSegment(before)), last);
    AtomContainer c = AtomContainer::Parse(*model.GetVideoSegment(before));
    ASSERT_NE(c.Find(FourCC("Edsc")), nullptr);
    EXPECT_EQ(c.Find(FourCC("Edsc"))->Text(), "Replacer");
}

TEST_F(VideoListTest, BoundaryDragsStopSixteenPixelsShortAtTwoZooms) {
    TwoSegments();
    for (int zoom : {64, 128}) {
        if (zoom == 128) list->ZoomIn();
        ASSERT_EQ(list->GetPixelsPerSecond(), zoom);
        const int32_t margin = 16 * 600 / zoom;  // 16 pixels of time in 600ths
        int bx = SpanOf(model.GetVideoSegment(1)).end.ValueIn(600) * zoom / 600;
        list->ScrollImageTo(bx - 400, 0, true);
        DragImage(QPoint(bx, kBoundaryBand), bx - 2000);
        EXPECT_EQ(SpanOf(model.GetVideoSegment(1)).end, T600(margin)) << zoom;
        EXPECT_EQ(SpanOf(model.GetVideoSegment(2)).start, T600(margin)) << zoom;
        bx = SpanOf(model.GetVideoSegment(1)).end.ValueIn(600) * zoom / 600;
        list->ScrollImageTo(0, 0, true);
        DragImage(QPoint(bx, kBoundaryBand), bx + 4000);
        EXPECT_EQ(SpanOf(model.GetVideoSegment(1)).end, T600(6000 - margin)) << zoom;
        EXPECT_EQ(SpanOf(model.GetVideoSegment(2)).start, T600(6000 - margin)) << zoom;
        EXPECT_EQ(SpanOf(model.GetVideoSegment(2)).end, T600(6000)) << zoom;
    }
}

TEST_F(VideoListTest, RulerDragsMoveThePlayheadControlByFramesShiftSelectsAndDeleteCutsTheSpanOut) {
    DragImage(QPoint(64, 10), 64);  // 1 s
    DragImage(QPoint(64, 10), 67, Qt::ControlModifier);
    EXPECT_EQ(list->GetPlayhead().ValueIn(600), 600 + 3 * 60);  // one frame (at 10 fps) per pixel
    Drop(kFlavorVideoCodec, VideoPreset("Whole.QTcd", FourCC("mp4v")), 100, 50);
    DragImage(QPoint(128, 10), 128);                       // playhead to 2 s
    EXPECT_EQ(list->GetPlayhead(), T600(1200));
    DragImage(QPoint(192, 10), 256, Qt::ShiftModifier);    // extend to 4 s
    EXPECT_EQ(list->GetSelectedKind(), CVideoList::kSpan);
    EXPECT_EQ(list->GetAnchor(), T600(1200));
    EXPECT_EQ(list->GetPlayhead(), T600(2400));
    Key(Qt::Key_Delete);
    ASSERT_EQ(model.ExcludedRangeCount(), 1);
    EXPECT_EQ((Span{model.GetExcludedRange(1)->start, model.GetExcludedRange(1)->end}), (Span{T600(1200), T600(2400)}));
    EXPECT_EQ(list->GetAnchor().value, -1);
    EXPECT_LE(list->GetSelectedKind(), 0);
}

// The zoom fits the movie to the frame, anew on each resize until the user
// zooms; it stops at 512 px/s and does not shrink the movie below the frame.
TEST_F(VideoListTest, ZoomFitsTheMovieUntilTheUserZoomsAndStopsAt512) {
    // 10 s at 64 px/s is 640 px, the widest power of two that fits 800.
    EXPECT_EQ(list->GetImageSize().width(), 640);
    for (auto [width, pixelsPerSecond] : {std::pair{1600, 128}, {300, 16}, {800, 64}}) {
        list->setFixedSize(width, 125);
        QApplication::processEvents();
        EXPECT_EQ(list->GetPixelsPerSecond(), pixelsPerSecond) << width;
    }
    list->ZoomOut();  // 640 px fit in 800: no change
    EXPECT_EQ(list->GetPixelsPerSecond(), 64);
    for (int i = 0; i < 4; ++i) list->ZoomIn();  // 128, 256, 512 and no further
    EXPECT_EQ(list->GetPixelsPerSecond(), 512);
    EXPECT_EQ(list->GetImageSize().width(), 5120);
    list->OnMessage(FourCC("ZMot"), nullptr);
    EXPECT_EQ(list->GetPixelsPerSecond(), 256);
    list->setFixedSize(300, 125);  // the user's zoom outlives a resize
    QApplication::processEvents();
    EXPECT_EQ(list->GetPixelsPerSecond(), 256);
}

TEST_F(VideoListTest, ClickingASegmentSelectsItAndARangeWinsOverSegments) {
    TwoSegments();
    DragImage(QPoint(500, 60), 500);
    EXPECT_EQ(list->GetSelectedKind(), CVideoList::kVideo);
    EXPECT_EQ(list->GetSelectedIndex(), 2);
    // Inside a box, 2 pixels from the boundary at x 320: the box is hit
    // first, and dragging from there moves no boundary.
    DragImage(QPoint(318, 60), 200);
    EXPECT_EQ(list->GetSelectedIndex(), 1);
    EXPECT_EQ(SpanOf(model.GetVideoSegment(1)).end, T600(3000));
    model.AddExcludedRange(TimeRange(T600(600), T600(1200)));
    DragImage(QPoint(96, 60), 96);
    EXPECT_EQ(list->GetSelectedKind(), CVideoList::kRange);
    EXPECT_EQ(list->GetSelectedIndex(), 1);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(model.ExcludedRangeCount(), 0);
}

TEST_F(VideoListTest, ClearRemovesTheSelectionAndIsDisabledWithoutOne) {
    const STimeValue maxLength = T600(3000);
    for (int i = 0; i < 2; ++i)
        model.AddVideoSegment(std::make_unique<Handle>(MakeVideoSettings(FourCC("mp4v"))), T600(0), &maxLength, nullptr);
    ASSERT_EQ(model.VideoSegmentCount(), 2);
    auto enabled = [&] {
        SCommandStatus status;
        list->ProcessCommandStatus(cmd_Clear, status);
        return status.enabled;
    };

    EXPECT_FALSE(enabled());
    EXPECT_FALSE(LCommandMenus::Dispatch(cmd_Clear, list));
    EXPECT_EQ(model.VideoSegmentCount(), 2);
    list->Select(2, CVideoList::kVideo);
    EXPECT_TRUE(enabled());
    EXPECT_TRUE(LCommandMenus::Dispatch(cmd_Clear, list));
    EXPECT_EQ(model.VideoSegmentCount(), 1);
    EXPECT_EQ(list->GetSelectedIndex(), 1);  // the selection moves to the last item ...
    EXPECT_FALSE(enabled());                 // ... but nothing stays highlighted
    list->DeleteSelection();
    EXPECT_EQ(model.VideoSegmentCount(), 1);

    // A span of time becomes an excluded range; a span of no length is nothing to clear.
    list->Select(0, CVideoList::kSpan);
    list->SetPlayhead(T600(600), false, false);
    list->SetPlayhead(T600(600), true, false);
    EXPECT_FALSE(enabled());
    list->SetPlayhead(T600(1200), true, false);
    EXPECT_TRUE(enabled());
    EXPECT_TRUE(list->ObeyCommand(cmd_Clear));
    ASSERT_EQ(model.ExcludedRangeCount(), 1);
    EXPECT_EQ(model.GetExcludedRange(1)->end, T600(1200));

    // Other commands go on to the window.
    EXPECT_TRUE(list->ObeyCommand(cmd_Save));
    EXPECT_EQ(window.heard, std::vector<CommandT>{cmd_Save});
    EXPECT_EQ(model.ExcludedRangeCount(), 1);
}

// Counts the model's segment-changed notices.
class SegmentChanges : public CObserver {
public:
    int count = 0;
    void Update(OSType, int32_t code, void*, int32_t, int32_t, int32_t) override {
        count += code == kChangeVideoSegmentChanged;
    }
};

// The controls act on the selected video segment, else on segment one: the
// popup offers only the depths the codec writes and shows the one it will
// write; the slider is enabled only for codecs with a quality scale. Model
// edits show without coming back as edits; each user choice reaches the
// segment once, a slider drag when it is let go.
TEST_F(VideoListTest, SettingsControlsShowWhatTheCodecWritesFollowTheSelectionAndSendEachChoiceOnce) {
    auto* depth = new LPopupButton(&window);
    for (const char* item : {"1", "2", "4", "8", "16", "32", "24"}) depth->addItem(QString::fromLatin1(item));
    depth->setObjectName(QStringLiteral("DEPT"));
    auto* quality = new LSlider(&window);
    quality->setRange(0, 1024);
    quality->setObjectName(QStringLiteral("QUAL"));
    list->AttachSettingsControls(depth, quality);
    auto segment = [&](int32_t index) { return VideoSettings::FromHandle(*model.GetVideoSegment(index)); };
    auto offered = [&] {
        QStringList texts;
        auto* view = qobject_cast<QListView*>(depth->view());
        for (int i = 0; i < depth->count(); ++i)
            if (!view->isRowHidden(i)) texts << depth->itemText(i);
        return texts;
    };
    EXPECT_EQ(depth->currentIndex(), -1);  // no segment: nothing to show or change
    EXPECT_FALSE(depth->isEnabled() || quality->isEnabled());
    auto add = [&](OSType codec, int16_t bits, int32_t q) {
        VideoSettings v = VideoSettings::FromHandle(MakeVideoSettings(codec));
        v.depth = bits;
        v.spatialQuality = q;
        const STimeValue length = T600(3000);
        model.AddVideoSegment(std::make_unique<Handle>(v.ToHandle()), T600(0), &length, nullptr);
    };
    add(FourCC("avc1"), 32, 0x300);  // H.264 writes millions of colours (24), whatever the record says
    EXPECT_EQ(offered(), QStringList{QStringLiteral("24")});
    EXPECT_EQ(depth->currentText(), QStringLiteral("24"));
    EXPECT_FALSE(depth->isEnabled());
    EXPECT_TRUE(quality->isEnabled());
    EXPECT_EQ(quality->GetValue(), 0x300);

    add(FourCC("png "), 0, 0x200);  // a second segment in front: now segment 1
    ASSERT_EQ(model.VideoSegmentCount(), 2);
    EXPECT_EQ(offered().size(), 6);  // no thousands of colours in PNG
    EXPECT_EQ(depth->currentText(), QStringLiteral("24"));
    EXPECT_FALSE(quality->isEnabled());  // PNG is lossless: no quality to choose
    SegmentChanges changes;
    changes.Observe(&model);
    QTest::keyClick(depth, Qt::Key_Up);
    EXPECT_EQ(segment(1).depth, 32);
    QTest::keyClick(depth, Qt::Key_Up);  // past thousands of colours, which PNG cannot write
    EXPECT_EQ(segment(1).depth, 8);
    EXPECT_EQ(changes.count, 2);
    model.SetSegmentDepth(1, 4);
    model.SetSegmentQuality(1, 0x3FF);
    EXPECT_EQ(depth->GetValue(), 3);
    EXPECT_EQ(quality->GetValue(), 0x3FF);
    EXPECT_EQ(changes.count, 4);

    list->Select(2, CVideoList::kVideo);  // the H.264 segment: the controls turn to it, edits go there
    EXPECT_EQ(depth->currentText(), QStringLiteral("24"));
    EXPECT_EQ(quality->GetValue(), 0x300);
    QTest::keyClick(quality, Qt::Key_PageUp);  // a key step sends at once
    EXPECT_EQ(segment(2).spatialQuality, 0x300 + quality->pageStep());
    EXPECT_EQ(segment(1).depth, 4);
    EXPECT_EQ(changes.count, 5);
    quality->setSliderDown(true);
    for (int v = 100; v <= 900; v += 50) quality->setSliderPosition(v);
    EXPECT_EQ(changes.count, 5);
    quality->setSliderDown(false);
    EXPECT_EQ(segment(2).spatialQuality, 900);
    EXPECT_EQ(changes.count, 6);
}

}  // namespace
