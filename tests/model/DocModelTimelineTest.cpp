// The timeline: placing, snapping and removing segments, and cutting
// excluded spans out of them.
#include <gtest/gtest.h>

#include <cstring>

#include "model/ExcludedSpans.h"
#include "model/SChangeInfo.h"
#include "support/PretendDocModel.h"

using namespace docsupport;
using Codes = std::vector<int32_t>;
using M = PretendDocModel;

namespace {

constexpr OSType kJpeg = FourCC("jpeg");

// A ten-second movie with segments laid down as given (`other` spans carry
// other settings), then `act`; the segments, excluded ranges and changes
// sent during `act` are checked.
struct TimelineCase {
    const char* name;
    SpanList laid;
    std::function<void(M&)> act;
    SpanList segments, ranges;
    Codes codes;
    SpanList other = {};
};

// Cases print as their names, not as bytes.
void PrintTo(const TimelineCase& c, std::ostream* os) { *os << c.name; }

class Timeline : public ::testing::TestWithParam<TimelineCase> {};

TEST_P(Timeline, Edit) {
    const TimelineCase& c = GetParam();
    M model;
    model.movieDuration = T600(6000);
    model.Load();
    std::vector<std::unique_ptr<Handle>> laid;
    for (const Span600& s : c.laid) {
        const bool other = std::find(c.other.begin(), c.other.end(), s) != c.other.end();
        laid.push_back(MakeSegment(s.start, s.end, other ? kJpeg : FourCC("avc1")));
    }
    model.LayVideoSegments(std::move(laid));
    RecordingObserver observer;
    observer.Observe(&model);
    c.act(model);
    EXPECT_EQ(Spans(model.VideoSegments()), c.segments);
    EXPECT_EQ(Ranges(model), c.ranges);
    EXPECT_EQ(observer.codes, c.codes);
}

const STimeValue kZone600 = T600(600), kZone300 = T600(300), kOneSecond{1, 1};
void Add(M& m, int32_t at, const STimeValue* zone = &kZone600, const STimeValue* limit = nullptr) {
    m.AddVideoSegment(MakeSegment(), T600(at), limit, zone);
}
void Exclude(M& m, int32_t from, int32_t to) { m.AddExcludedRange(TimeRange(T600(from), T600(to))); }
constexpr int32_t kAdded = kChangeSegmentAdded, kVideo = kChangeVideoSegments;

INSTANTIATE_TEST_SUITE_P(
    Placing, Timeline,
    ::testing::Values(
        TimelineCase{"FirstTakesTheWholeMovie", {}, [](M& m) { Add(m, 2500, nullptr); }, {{0, 6000}}, {}, {kAdded}},
        TimelineCase{"NearTheStartSplitsInHalf", {{0, 6000}}, [](M& m) { Add(m, 100); }, {{0, 3000}, {3000, 6000}}, {},
                     {kAdded}},
        TimelineCase{"MaximumLengthLimitsTheNewSegment", {{0, 6000}},
                     [](M& m) { Add(m, 0, &kZone600, &kOneSecond), Add(m, 6000, &kZone600, &kOneSecond); },
                     {{0, 600}, {600, 5400}, {5400, 6000}}, {}, {kAdded, kAdded}},
        TimelineCase{"OnABoundaryTakesFromTheLaterOne", {{0, 2000}, {2000, 6000}}, [](M& m) { Add(m, 2100, &kZone300); },
                     {{0, 2000}, {2000, 4000}, {4000, 6000}}, {}, {kAdded}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Removing, Timeline,
    ::testing::Values(
        TimelineCase{"GrowsTheOneBeforeTheGap", {{0, 2000}, {2000, 4000}, {4000, 6000}},
                     [](M& m) { m.RemoveVideoSegment(2), m.RemoveVideoSegment(1), m.RemoveVideoSegment(5); },
                     {{0, 6000}}, {}, {kVideo, kVideo}},
        TimelineCase{"OneNobodyTouchesExcludesItsSpan", {{0, 1000}, {2000, 6000}}, [](M& m) { m.RemoveVideoSegment(1); },
                     {{2000, 6000}}, {{0, 1000}}, {kVideo}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Excluding, Timeline,
    ::testing::Values(
        // Callers announce these edits: the model sends nothing.
        TimelineCase{"CutsInsideCoveringAndOverlapping", {{0, 1000}, {1000, 1500}, {1500, 4000}, {4000, 6000}},
                     [](M& m) { Exclude(m, 800, 2000), Exclude(m, 4500, 5000); },
                     {{0, 800}, {2000, 4000}, {4000, 4500}, {5000, 6000}}, {{800, 2000}, {4500, 5000}}, {}},
        TimelineCase{"FromAStartOrEndTrims", {{0, 3000}, {3000, 6000}},
                     [](M& m) { Exclude(m, 3000, 3500), Exclude(m, 5500, 6000); }, {{0, 3000}, {3500, 5500}},
                     {{3000, 3500}, {5500, 6000}}, {}},
        TimelineCase{"TouchingOrOverlappingRangesMerge", {},
                     [](M& m) {
                         Exclude(m, 100, 200), Exclude(m, 200, 300), Exclude(m, 500, 600), Exclude(m, 900, 1000);
                         m.AddExcludedRange(TimeRange(STimeValue{1, 4}, STimeValue{19, 20}));  // 150 .. 570
                     },
                     {}, {{100, 600}, {900, 1000}}, {}},
        TimelineCase{"RemovingBetweenEqualSettingsJoins", {{0, 1000}, {1000, 6000}},
                     [](M& m) {
                         Exclude(m, 2000, 3000);
                         m.RemoveExcludedRange(1);
                     },
                     {{0, 1000}, {1000, 6000}}, {}, {}, {{0, 1000}}},
        TimelineCase{"RemovingBetweenOtherSettingsGrowsTheEarlier", {{0, 2000}, {3000, 6000}},
                     [](M& m) {
                         m.LayExcludedRanges({TimeRange(T600(2000), T600(3000))});
                         m.RemoveExcludedRange(1);
                     },
                     {{0, 3000}, {3000, 6000}}, {}, {kChangeExcludedRanges}, {{3000, 6000}}},
        TimelineCase{"RemovingAtTheStartGrowsBack", {{1000, 6000}},
                     [](M& m) {
                         m.LayExcludedRanges({TimeRange(T600(0), T600(1000))});
                         m.RemoveExcludedRange(2);  // no such range
                         m.RemoveExcludedRange(1);
                     },
                     {{0, 6000}}, {}, {kChangeExcludedRanges}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Dragging, Timeline,
    ::testing::Values(
        TimelineCase{"ABoundaryMovesBothSidesAndTheOuterEdgesStay", {{0, 2000}, {2000, 4000}, {4000, 6000}},
                     [](M& m) {
                         SBoundaryDrag d;
                         EXPECT_FALSE(m.BeginSegmentBoundaryDrag(1, false, d) || m.BeginSegmentBoundaryDrag(3, true, d));
                         ASSERT_TRUE(m.BeginSegmentBoundaryDrag(2, false, d));
                         EXPECT_EQ(std::tuple(d.low, d.at, d.high), std::tuple(T600(0), T600(2000), T600(4000)));
                         m.MoveBoundary(d, T600(1500));
                     },
                     {{0, 1500}, {1500, 4000}, {4000, 6000}}, {}, {}},
        TimelineCase{"ARangeEdgeTakesTheSegmentsTouchingIt", {{0, 2000}, {3000, 6000}},
                     [](M& m) {
                         Exclude(m, 2000, 3000);
                         m.LayAudioSegments(MakeSegments({{3000, 6000}}));
                         SBoundaryDrag d;
                         EXPECT_FALSE(m.BeginExcludedEdgeDrag(2, true, d));
                         ASSERT_TRUE(m.BeginExcludedEdgeDrag(1, true, d));
                         EXPECT_EQ(std::tuple(d.low, d.at, d.high), std::tuple(T600(2000), T600(3000), T600(6000)));
                         m.MoveBoundary(d, T600(3500));
                         EXPECT_EQ(Spans(m.AudioSegments()), (SpanList{{3500, 6000}}));
                     },
                     {{0, 2000}, {3500, 6000}}, {{2000, 3500}}, {kChangeAudioSegmentChanged}}),
    [](const auto& info) { return std::string(info.param.name); });

class TimelineModel : public ::testing::Test, protected WatchedModel {
protected:
    void Lay(SpanList spans) {
        model.LayVideoSegments(MakeSegments(spans));
        observer.Take();  // each test counts only its own changes
    }
    STimeValue Snap(STimeValue t, bool middle = false, const STimeValue* zone = nullptr) {
        model.SnapToBoundary(model.VideoSegments(), t, middle, zone);
        return t;
    }
};

TEST_F(TimelineModel, ADropOnTheMiddleReplacesTheSegmentAndKeepsItsSpan) {
    Lay({{0, 2000}, {2000, 6000}});
    auto replacement = MakeSegment(FourCC("mp4v"));
    Handle* raw = replacement.get();
    // Without an edge zone everything inside snaps to the middle.
    EXPECT_EQ(model.AddVideoSegment(std::move(replacement), T600(3300), nullptr, nullptr), 2);
    EXPECT_EQ(model.GetVideoSegment(2), raw);
    EXPECT_EQ(Spans(model.VideoSegments()), (SpanList{{0, 2000}, {2000, 6000}}));
    // Sound segments share the rules but not the list.
    EXPECT_EQ(model.AddAudioSegment(MakeSegment(), T600(10)), 1);
    EXPECT_EQ(model.AddAudioSegment(MakeSegment(), T600(10)), 1);
    EXPECT_EQ(Spans(model.AudioSegments()), (SpanList{{0, 6000}}));
    model.RemoveAudioSegment(1);
    EXPECT_EQ(observer.Take(), (Codes{kAdded, kAdded, kAdded, kChangeAudioSegmentRemoved}));
}

TEST_F(TimelineModel, SnapPrefersTheNearestBoundaryOfTheSegmentUnderTheTime) {
    Lay({{0, 3000}, {3000, 6000}});
    const STimeValue zone = T600(500), wide = T600(2000);
    EXPECT_EQ(Snap(T600(3400), true, &zone), T600(3000));
    EXPECT_EQ(Snap(T600(5600), true, &zone), T600(6000));
    EXPECT_EQ(Snap(T600(4400), true, &zone), T600(4500));  // inside the middle zone
    EXPECT_EQ(Snap(T600(4400)), T600(3000));               // without the middle: the nearer end
    EXPECT_EQ(Snap(T600(4600), true, &wide), T600(6000));  // a zone over half the segment: the halves
    EXPECT_EQ(Snap(STimeValue{44100 * 9, 44100}), T600(6000));
    // Excluded boundaries nearer than the segments win; outside every
    // segment they are the only candidates, and failing those, zero.
    model.LayExcludedRanges({TimeRange(T600(1000), T600(1500))});
    EXPECT_EQ(Snap(T600(1100)), T600(1000));
    model.RemoveAllVideoSegments();
    EXPECT_EQ(Snap(T600(1400)), T600(1500));
    model.DeleteAllExcludedRanges();
    EXPECT_EQ(Snap(T600(1400)), T600(0));
}

TEST_F(TimelineModel, ExcludedRangesSortByStartAndThePieceAfterACutIsACopy) {
    Lay({{0, 6000}});
    Exclude(model, 2000, 3000);
    static const OSType ignore[] = {FourCC("Etim"), 0};
    EXPECT_TRUE(DescriptionsEqual(ignore, *model.GetVideoSegment(1), *model.GetVideoSegment(2)));
    EXPECT_NE(model.GetVideoSegment(1), model.GetVideoSegment(2));
    model.LayExcludedRanges({TimeRange(T600(4000), T600(4100)), TimeRange(STimeValue{1, 1}, STimeValue{2, 1}),
                             TimeRange(T600(3000), T600(3100))});
    EXPECT_EQ(Ranges(model), (SpanList{{4000, 4100}, {600, 1200}, {3000, 3100}}));  // as laid
    model.SortExcludedRanges();
    EXPECT_EQ(Ranges(model), (SpanList{{600, 1200}, {3000, 3100}, {4000, 4100}}));
    EXPECT_EQ(dynamic_cast<const TimeRangeComparator*>(model.ExcludedRanges().GetComparator()), nullptr);
}

TEST_F(TimelineModel, SegmentsThatAreNotContainersAreLeftAsTheyAre) {
    std::vector<std::unique_ptr<Handle>> odd;
    odd.push_back(std::make_unique<Handle>(Handle("junk", 4)));
    odd.push_back(nullptr);
    model.LayVideoSegments(std::move(odd));
    EXPECT_EQ(Snap(T600(100), true), T600(0));
    Exclude(model, 10, 20);
    model.RemoveExcludedRange(1);
    model.AddVideoSegment(MakeSegment(), T600(0), nullptr, nullptr);
    model.SetSegmentDepth(1, 8);
    ASSERT_EQ(model.VideoSegmentCount(), 3);
    int junk = 0, null = 0;
    for (int32_t i = 1; i <= 3; ++i) {
        const Handle* h = model.GetVideoSegment(i);
        null += h == nullptr;
        junk += h && *h == Handle("junk", 4);
    }
    EXPECT_EQ(std::pair(junk, null), std::pair(1, 1));
    EXPECT_EQ(model.ExcludedRangeCount(), 0);
}

TEST(DescriptionTime, EtimIsStoredInNativeOrderAndReplaced) {
    auto h = MakeSegment();
    STimeValue s, e;
    GetDescriptionTime(h.get(), s, e);
    EXPECT_EQ(s, (STimeValue{0, 1}));
    ASSERT_TRUE(SetDescriptionTime(h.get(), STimeValue{5, 600}, STimeValue{70000, 44100}));
    ASSERT_TRUE(SetDescriptionTime(h.get(), STimeValue{6, 600}, STimeValue{80000, 44100}));
    AtomContainer c = AtomContainer::Parse(*h);
    EXPECT_EQ(c.Count(FourCC("Etim")), 1);
    const QTAtomNode* etim = c.Find(FourCC("Etim"));
    EXPECT_EQ(etim->id, 0);
    const int32_t expected[4] = {6, 600, 80000, 44100};
    ASSERT_EQ(etim->data.size(), sizeof expected);
    EXPECT_EQ(std::memcmp(etim->data.data(), expected, sizeof expected), 0);
}

TEST(DescriptionTime, MissingOrUnreachableTimesReadAsZero) {
    STimeValue s{9, 9}, e{9, 9};
    GetDescriptionTime(nullptr, s, e);
    EXPECT_EQ(s.scale, 1);
    AtomContainer c;
    c.Insert(FourCC("Etim"), 0, "short", 5);
    Handle shortEtim = c.ToHandle();
    GetDescriptionTime(&shortEtim, s, e);
    EXPECT_EQ(e, (STimeValue{0, 1}));
    Handle lying = *MakeSegment(10, 20);
    lying.Data()[12] = 0x7F;  // a root size that is not followed
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

// Two ranges that meet (as a record written elsewhere may hold them) and
// a third; the movie ends at 6000.
TEST(ExcludedSpans, PlayingCompressingAndPlacingSoundStepOverThem) {
    TimeRange a(T600(1000), T600(2000)), b(T600(2000), T600(2500)), c(T600(4000), T600(5000));
    TArray<TimeRange*> list;
    for (TimeRange* r : {&a, &b, &c}) list.Append(r);
    const ExcludedSpans spans(&list);
    struct Case {
        int32_t t;
        TimeRange* at;
        int32_t playFrom, nextStart, boundary;
        bool last;
        int32_t output;
    };
    const Case cases[] = {
        {0, nullptr, 0, 1000, 1000, false, 0},      {1000, &a, 2500, 2000, 2000, true, 1000},
        {2000, &a, 2500, 4000, 2500, true, 1000},  {2500, &b, 2500, 4000, 4000, false, 1000},
        {4500, &c, 5000, 6000, 5000, true, 2500},  {5001, nullptr, 5001, 6000, 6000, true, 2501},
    };
    for (const Case& k : cases) {
        STimeValue boundary = T600(k.t);
        const bool last = spans.NextBoundary(boundary, T600(6000));
        EXPECT_EQ(std::make_tuple(spans.At(T600(k.t)), spans.PlayFrom(T600(k.t)), spans.NextStart(T600(k.t), T600(6000)),
                                  boundary, last, spans.OutputTimeOf(T600(k.t))),
                  std::make_tuple(k.at, ExactTime(T600(k.playFrom)), ExactTime(T600(k.nextStart)), T600(k.boundary),
                                  k.last, ExactTime(T600(k.output))))
            << k.t;
    }
}

}  // namespace
