// The timeline: placing, fitting, snapping and removing segments, and
// cutting excluded spans out of them.
#include <gtest/gtest.h>

#include <cstring>

#include "ModelTestSupport.h"
#include "model/SChangeInfo.h"

using namespace modeltest;
using Codes = std::vector<int32_t>;
using SpanList = std::vector<Span600>;

namespace {

class Timeline : public ::testing::Test {
protected:
    void SetUp() override {
        model.movieDuration = T600(6000);  // ten seconds
        model.Load();
        observer.Observe(&model);
    }
    // Segments laid down as given, without going through placement.
    void Lay(std::initializer_list<Span600> spans, OSType codec = FourCC("avc1")) {
        for (const auto& s : spans) model.VideoSegments().Append(MakeSegment(s.start, s.end, codec));
    }
    FakeMovieDocModel model;
    RecordingObserver observer;
};

TEST_F(Timeline, FirstSegmentTakesTheWholeMovie) {
    EXPECT_EQ(model.AddVideoSegment(MakeSegment(), T600(2500), nullptr, nullptr), 1);
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 6000}}));
    EXPECT_EQ(observer.Take(), Codes{kChangeSegmentAdded});
}

TEST_F(Timeline, DropNearTheStartSplitsTheSegmentInHalf) {
    Lay({{0, 6000}});
    const STimeValue zone = T600(600);
    EXPECT_EQ(model.AddVideoSegment(MakeSegment(FourCC("jpeg")), T600(100), nullptr, &zone), 1);
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 3000}, {3000, 6000}}));
}

TEST_F(Timeline, DropAtTheEndGoesAfterTheLastSegment) {
    Lay({{0, 6000}});
    const STimeValue zone = T600(600);
    EXPECT_EQ(model.AddVideoSegment(MakeSegment(), T600(5900), nullptr, &zone), 2);
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 3000}, {3000, 6000}}));
}

TEST_F(Timeline, MaximumLengthLimitsTheNewSegment) {
    Lay({{0, 6000}});
    const STimeValue zone = T600(600);
    const STimeValue oneSecond{1, 1};
    model.AddVideoSegment(MakeSegment(), T600(0), &oneSecond, &zone);  // before: [s, s + lim]
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 600}, {600, 6000}}));
    model.AddVideoSegment(MakeSegment(), T600(6000), &oneSecond, &zone);  // after: [e - lim, e]
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 600}, {600, 5400}, {5400, 6000}}));
}

TEST_F(Timeline, DropOnTheMiddleReplacesTheSegmentAndKeepsItsSpan) {
    Lay({{0, 2000}, {2000, 6000}});
    Handle* old = model.GetVideoSegment(2);
    auto replacement = MakeSegment(FourCC("mp4v"));
    Handle* raw = replacement.get();
    // Without an edge zone everything inside snaps to the middle.
    EXPECT_EQ(model.AddVideoSegment(std::move(replacement), T600(3300), nullptr, nullptr), 2);
    EXPECT_EQ(model.VideoSegmentCount(), 2);
    EXPECT_EQ(model.GetVideoSegment(2), raw);
    EXPECT_NE(model.GetVideoSegment(2), old);
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 2000}, {2000, 6000}}));
}

TEST_F(Timeline, DropOnABoundaryBetweenTwoSegmentsTakesFromTheLaterOne) {
    Lay({{0, 2000}, {2000, 6000}});
    const STimeValue zone = T600(300);
    EXPECT_EQ(model.AddVideoSegment(MakeSegment(), T600(2100), nullptr, &zone), 2);
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 2000}, {2000, 4000}, {4000, 6000}}));
}

TEST_F(Timeline, AudioSegmentsShareTheRulesButNotTheList) {
    EXPECT_EQ(model.AddAudioSegment(MakeSegment(), T600(10)), 1);
    EXPECT_EQ(model.AddAudioSegment(MakeSegment(), T600(10)), 1);  // middle of the only one: replaced
    EXPECT_EQ(model.AudioSegmentCount(), 1);
    EXPECT_EQ(model.VideoSegmentCount(), 0);
    EXPECT_EQ(Spans(model.AudioSegments()), (SpanList{{0, 6000}}));
    model.RemoveAudioSegment(1);
    EXPECT_EQ(observer.Take(), (Codes{kChangeSegmentAdded, kChangeSegmentAdded, kChangeAudioSegmentRemoved}));
}

TEST_F(Timeline, SnapPrefersTheNearestBoundaryOfTheSegmentUnderTheTime) {
    Lay({{0, 3000}, {3000, 6000}});
    const STimeValue zone = T600(500);
    STimeValue t = T600(3400);
    model.SnapToBoundary(model.VideoSegments(), t, true, &zone);
    EXPECT_EQ(t, T600(3000));
    t = T600(5600);
    model.SnapToBoundary(model.VideoSegments(), t, true, &zone);
    EXPECT_EQ(t, T600(6000));
    t = T600(4400);  // inside the middle zone
    model.SnapToBoundary(model.VideoSegments(), t, true, &zone);
    EXPECT_EQ(t, T600(4500));
    t = T600(4400);  // without the zone: the nearer end
    model.SnapToBoundary(model.VideoSegments(), t, false, nullptr);
    EXPECT_EQ(t, T600(3000));
    // A zone wider than half the segment falls back to the halves.
    const STimeValue wide = T600(2000);
    t = T600(4600);
    model.SnapToBoundary(model.VideoSegments(), t, true, &wide);
    EXPECT_EQ(t, T600(6000));
}

TEST_F(Timeline, SnapWorksAcrossTimeScales) {
    Lay({{0, 3000}, {3000, 6000}});
    STimeValue t{44100 * 9, 44100};  // 9 s: in the second half of the second segment
    model.SnapToBoundary(model.VideoSegments(), t, false, nullptr);
    EXPECT_EQ(t, T600(6000));
}

TEST_F(Timeline, ExcludedBoundariesNearerThanTheSegmentsWin) {
    Lay({{0, 6000}});
    model.ExcludedRanges().Append(new TimeRange(T600(2000), T600(2500)));
    STimeValue t = T600(2100);
    model.SnapToBoundary(model.VideoSegments(), t, false, nullptr);
    EXPECT_EQ(t, T600(2000));
    // Outside every segment the only candidates are excluded boundaries,
    // and failing those, zero.
    model.VideoSegments().DisposeAll();
    t = T600(2400);
    model.SnapToBoundary(model.VideoSegments(), t, false, nullptr);
    EXPECT_EQ(t, T600(2500));
    model.DeleteAllExcludedRanges();
    t = T600(2400);
    model.SnapToBoundary(model.VideoSegments(), t, false, nullptr);
    EXPECT_EQ(t, T600(0));
}

TEST_F(Timeline, FindersUseInclusiveSpansAndEitherEdge) {
    Lay({{0, 3000}, {3000, 6000}});
    EXPECT_EQ(model.FindDescriptionAt(model.VideoSegments(), T600(3000)), model.GetVideoSegment(1));
    EXPECT_EQ(model.FindDescriptionAt(model.VideoSegments(), STimeValue{7, 1}), model.GetVideoSegment(2));
    EXPECT_EQ(model.FindDescriptionAt(model.VideoSegments(), STimeValue{11, 1}), nullptr);
    const STimeValue start{5, 1}, end{10, 1}, elsewhere{1, 1};
    EXPECT_EQ(model.FindDescriptionByEdge(model.VideoSegments(), &start, nullptr), model.GetVideoSegment(2));
    EXPECT_EQ(model.FindDescriptionByEdge(model.VideoSegments(), nullptr, &end), model.GetVideoSegment(2));
    EXPECT_EQ(model.FindDescriptionByEdge(model.VideoSegments(), &elsewhere, &elsewhere), nullptr);
}

TEST_F(Timeline, RemovingASegmentGrowsTheOneBeforeTheGap) {
    Lay({{0, 2000}, {2000, 4000}, {4000, 6000}});
    model.RemoveVideoSegment(2);
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 4000}, {4000, 6000}}));
    model.RemoveVideoSegment(1);
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 6000}}));
    model.RemoveVideoSegment(5);
    EXPECT_EQ(observer.Take(), (Codes{kChangeVideoSegments, kChangeVideoSegments}));
}

TEST_F(Timeline, RemovingTheOnlySegmentLeavesNoGap) {
    Lay({{0, 6000}});
    model.RemoveVideoSegment(1);
    EXPECT_EQ(model.VideoSegmentCount(), 0);
    EXPECT_EQ(model.ExcludedRangeCount(), 0);
}

TEST_F(Timeline, RemovingASegmentNobodyTouchesExcludesItsSpan) {
    Lay({{0, 1000}, {2000, 6000}});
    model.RemoveVideoSegment(1);
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{2000, 6000}}));
    EXPECT_EQ(Ranges(model), (SpanList{{0, 1000}}));
}

TEST_F(Timeline, ExcludingCutsInsideCoveringAndOverlappingSegments) {
    Lay({{0, 1000}, {1000, 1500}, {1500, 4000}, {4000, 6000}});
    model.AddExcludedRange(TimeRange(T600(800), T600(2000)));
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 800}, {2000, 4000}, {4000, 6000}}));
    model.AddExcludedRange(TimeRange(T600(4500), T600(5000)));
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 800}, {2000, 4000}, {4000, 4500}, {5000, 6000}}));
    // The piece after the cut is a byte copy carrying the same settings.
    static const OSType ignore[] = {FourCC("Etim"), 0};
    EXPECT_TRUE(DescriptionsEqual(ignore, *model.GetVideoSegment(3), *model.GetVideoSegment(4)));
    EXPECT_NE(model.GetVideoSegment(3), model.GetVideoSegment(4));
    EXPECT_EQ(Ranges(model), (SpanList{{800, 2000}, {4500, 5000}}));
    EXPECT_TRUE(observer.Take().empty());  // callers announce the edit
}

TEST_F(Timeline, ExcludingFromASegmentsStartOrEndTrimsIt) {
    Lay({{0, 3000}, {3000, 6000}});
    model.AddExcludedRange(TimeRange(T600(3000), T600(3500)));
    model.AddExcludedRange(TimeRange(T600(5500), T600(6000)));
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 3000}, {3500, 5500}}));
}

TEST_F(Timeline, RangesThatTouchOrOverlapMerge) {
    model.AddExcludedRange(TimeRange(T600(100), T600(200)));
    model.AddExcludedRange(TimeRange(T600(200), T600(300)));
    EXPECT_EQ(Ranges(model), (SpanList{{100, 300}}));
    model.AddExcludedRange(TimeRange(T600(500), T600(600)));
    model.AddExcludedRange(TimeRange(T600(900), T600(1000)));
    model.AddExcludedRange(TimeRange(STimeValue{1, 4}, STimeValue{19, 20}));  // 150 .. 570
    EXPECT_EQ(Ranges(model), (SpanList{{100, 600}, {900, 1000}}));
}

TEST_F(Timeline, ARangeOfNoLengthAtASegmentStartEnds) {
    Lay({{0, 3000}, {3000, 6000}});
    model.AddExcludedRange(TimeRange(T600(3000), T600(3000)));
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 3000}, {3000, 6000}}));
    model.AddExcludedRange(TimeRange(T600(1000), T600(1000)));
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 1000}, {1000, 3000}, {3000, 6000}}));
}

TEST_F(Timeline, RemovingARangeBetweenEqualSettingsJoinsThem) {
    Lay({{0, 1000}}, FourCC("jpeg"));
    Lay({{1000, 6000}});
    model.AddExcludedRange(TimeRange(T600(2000), T600(3000)));
    ASSERT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 1000}, {1000, 2000}, {3000, 6000}}));
    model.RemoveExcludedRange(1);
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 1000}, {1000, 6000}}));
    EXPECT_EQ(model.ExcludedRangeCount(), 0);
}

TEST_F(Timeline, RemovingARangeBetweenDifferentSettingsGrowsTheEarlierOne) {
    Lay({{0, 2000}});
    Lay({{3000, 6000}}, FourCC("jpeg"));
    model.ExcludedRanges().Append(new TimeRange(T600(2000), T600(3000)));
    model.RemoveExcludedRange(1);
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 3000}, {3000, 6000}}));
}

TEST_F(Timeline, RemovingARangeAtTheStartGrowsTheSegmentBack) {
    Lay({{1000, 6000}});
    model.ExcludedRanges().Append(new TimeRange(T600(0), T600(1000)));
    model.RemoveExcludedRange(2);  // out of range: nothing
    EXPECT_EQ(model.ExcludedRangeCount(), 1);
    model.RemoveExcludedRange(1);
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 6000}}));
}

TEST_F(Timeline, SortingOrdersByStartAndPutsTheDefaultComparisonBack) {
    auto* late = new TimeRange(T600(4000), T600(4100));
    auto* early = new TimeRange(STimeValue{1, 1}, STimeValue{2, 1});
    auto* middle = new TimeRange(T600(3000), T600(3100));
    model.ExcludedRanges().Append(late);
    model.ExcludedRanges().Append(early);
    model.ExcludedRanges().Append(middle);
    model.SortExcludedRanges();
    EXPECT_EQ(model.GetExcludedRange(1), early);
    EXPECT_EQ(model.GetExcludedRange(2), middle);
    EXPECT_EQ(model.GetExcludedRange(3), late);
    EXPECT_EQ(dynamic_cast<TimeRangeComparator*>(model.ExcludedRanges().GetComparator()), nullptr);
    EXPECT_EQ(model.FindExcludedRangeAt(T600(3100)), middle);
    EXPECT_EQ(model.FindExcludedRangeAt(T600(3101)), nullptr);
    model.ExcludedRangesChanged();
    EXPECT_EQ(observer.Take(), Codes{kChangeExcludedRanges});
}

TEST_F(Timeline, SegmentDepthAndQualityLandInTheSpatialSettings) {
    Lay({{0, 6000}});
    model.SetSegmentDepth(1, 32);
    model.SetSegmentQuality(1, 0x3FF);
    model.SetSegmentQuality(2, 1);  // no such segment
    AtomContainer c = AtomContainer::Parse(*model.GetVideoSegment(1));
    const QTAtomNode* spatial = c.Find(FourCC("vide"))->FindChild(FourCC("sptl"));
    ASSERT_NE(spatial, nullptr);
    EXPECT_EQ(spatial->U32(0), FourCC("avc1"));
    EXPECT_EQ(spatial->U16(8), 32);
    EXPECT_EQ(spatial->U32(10), 0x3FFu);
    EXPECT_EQ(SpanIn600(model.GetVideoSegment(1)), (Span600{0, 6000}));
    EXPECT_EQ(observer.Take(), (Codes{kChangeVideoSegmentChanged, kChangeVideoSegmentChanged}));
}

TEST_F(Timeline, SegmentsThatAreNotContainersDoNotBreakTheTimeline) {
    model.VideoSegments().Append(std::make_unique<Handle>(Handle("junk", 4)));
    model.VideoSegments().Append(nullptr);
    STimeValue t = T600(100);
    model.SnapToBoundary(model.VideoSegments(), t, true, nullptr);
    model.AddExcludedRange(TimeRange(T600(10), T600(20)));
    model.RemoveExcludedRange(1);
    model.AddVideoSegment(MakeSegment(), T600(0), nullptr, nullptr);
    model.RemoveVideoSegment(1);
    model.SetSegmentDepth(1, 8);
    SUCCEED();
}

TEST(DescriptionTime, EtimIsStoredInNativeOrderAndReplaced) {
    auto h = MakeSegment();
    STimeValue s, e;
    GetDescriptionTime(h.get(), s, e);
    EXPECT_EQ(s.value, 0);
    EXPECT_EQ(s.scale, 1);
    ASSERT_TRUE(SetDescriptionTime(h.get(), STimeValue{5, 600}, STimeValue{70000, 44100}));
    ASSERT_TRUE(SetDescriptionTime(h.get(), STimeValue{6, 600}, STimeValue{80000, 44100}));
    AtomContainer c = AtomContainer::Parse(*h);
    EXPECT_EQ(c.Count(FourCC("Etim")), 1);
    const QTAtomNode* etim = c.Find(FourCC("Etim"));
    EXPECT_EQ(etim->id, 0);
    const int32_t expected[4] = {6, 600, 80000, 44100};
    ASSERT_EQ(etim->data.size(), sizeof expected);
    EXPECT_EQ(std::memcmp(etim->data.data(), expected, sizeof expected), 0);
    GetDescriptionTime(h.get(), s, e);
    EXPECT_EQ(s.value, 6);
    EXPECT_EQ(e.value, 80000);
    EXPECT_EQ(e.scale, 44100);
}

TEST(DescriptionTime, MissingOrUnreachableTimesReadAsZero) {
    STimeValue s{9, 9}, e{9, 9};
    GetDescriptionTime(nullptr, s, e);
    EXPECT_EQ(s.scale, 1);
    AtomContainer c;
    c.Insert(FourCC("Etim"), 0, "short", 5);
    Handle shortEtim = c.ToHandle();
    GetDescriptionTime(&shortEtim, s, e);
    EXPECT_EQ(e.value, 0);
    EXPECT_EQ(e.scale, 1);
    // A lying child count or size is not followed.
    Handle lying = *MakeSegment(10, 20);
    lying.Data()[12] = 0x7F;  // root size
    GetDescriptionTime(&lying, s, e);
    EXPECT_EQ(s.value, 0);
    Handle junk("junk", 4);
    EXPECT_FALSE(SetDescriptionTime(&junk, T600(1), T600(2)));
    EXPECT_EQ(junk, Handle("junk", 4));
    Handle empty(size_t(0));
    EXPECT_TRUE(SetDescriptionTime(&empty, T600(1), T600(2)));
    GetDescriptionTime(&empty, s, e);
    EXPECT_EQ(e, T600(2));
}

}  // namespace
