// The stored settings record: its exact bytes, round trips, and records
// that are cut short or lie about their sizes.
#include <gtest/gtest.h>

#include <array>

#include "model/SChangeInfo.h"
#include "support/PretendDocModel.h"
#include "support/TestSupport.h"

using namespace docsupport;
using testsupport::ErrorCode;
using testsupport::Spec;

namespace {

TEST(SettingsRecord, FieldsAreBigEndianInTableOrder) {
    PretendDocModel model;
    model.Load();
    EXPECT_EQ(model.WriteSettings(), Handle(RecordBytes::Empty().data(), RecordBytes::Empty().size()));
    model.SetCrop(10, 20, 300, 200);
    model.SetRotation(180);  // crop turns: left 20, top 40, right 310, bottom 220
    model.SetFlipVertical(true);  // top 20, bottom 200
    model.SetCustomSize(true);
    model.SetOutputWidth(0x01020304);
    FSSpec mark = Spec("/m.png");
    mark.vRefNum = -2;
    mark.parID = 0x0A0B0C0D;
    model.SetWatermarkFile(mark);
    model.SetWatermarkPlacement(0xF0000001u);
    model.AddFilter(std::make_unique<Handle>(Handle("xyz", 3)));
    model.AddFilter(nullptr);
    model.AddFilter(std::make_unique<Handle>(size_t(0)));
    model.AddExcludedRange(TimeRange(STimeValue{-1, 2}, STimeValue{0x11223344, 44100}));

    RecordBytes r(false);
    r.U32(0x00010000);
    r.U32(20).U32(20).U32(200).U32(310);  // top, left, bottom, right
    r.U32(0x01020304).U32(180).U32(180);  // output width, height, rotation
    r.U8(0).U8(1).U8(1).U8(0);
    r.U16(0xFFFE).U32(0x0A0B0C0D).U8(6).Raw("/m.png");
    r.U32(0xF0000001u);
    r.U32(3).U32(3).Raw("xyz").U32(0xFFFFFFFF).U32(0);
    r.U32(0).U32(0);
    r.U32(1).U32(0xFFFFFFFF).U32(2).U32(0x11223344).U32(44100);
    EXPECT_EQ(model.WriteSettings(), r.ToHandle());
}

TEST(SettingsRecord, EverythingRoundTrips) {
    PretendDocModel model;
    model.Load();
    model.SetCrop(4, 8, 300, 200);
    model.SetRotation(90);
    model.SetCustomSize(true);
    model.SetConstrainProportions(true);
    model.SetWatermarkFile(Spec("/a/b.png"));
    model.AddFilter(std::make_unique<Handle>(Handle("f1", 2)));
    model.AddFilter(nullptr);
    model.AddVideoSegment(MakeSegment(FourCC("avc1")), T600(0), nullptr, nullptr);
    const STimeValue zone = T600(100);
    model.AddVideoSegment(MakeSegment(FourCC("jpeg")), T600(5900), nullptr, &zone);
    model.AddAudioSegment(MakeSegment(FourCC("aac ")), T600(0));
    model.AddExcludedRange(TimeRange(T600(100), T600(200)));
    const Handle record = model.WriteSettings();

    PretendDocModel copy;
    copy.Load();
    RecordingObserver observer;
    observer.Observe(&copy);
    copy.ReadSettings(record);
    EXPECT_EQ(observer.codes, std::vector<int32_t>{kChangeVideoSegments});
    EXPECT_TRUE(copy.IsMovieDocument());
    EXPECT_EQ(copy.WriteSettings(), record);
    EXPECT_EQ(copy.GetRotation(), 90);
    EXPECT_TRUE(copy.GetConstrainProportions());
    EXPECT_EQ(copy.GetWatermarkFile(), Spec("/a/b.png"));
    EXPECT_EQ(Spans(copy.VideoSegments()), Spans(model.VideoSegments()));
    EXPECT_EQ(*copy.GetAudioSegment(1), *model.GetAudioSegment(1));

    // Reading again replaces the lists instead of adding to them.
    copy.ReadSettings(record);
    EXPECT_EQ(copy.VideoSegmentCount(), 3);  // the excluded range split the first
    EXPECT_EQ(copy.FilterCount(), 2);
    EXPECT_EQ(copy.GetFilter(2), nullptr);
    EXPECT_EQ(copy.ExcludedRangeCount(), 1);
}

// A record made on a 160 x 120 movie, applied to a 640 x 480 one: the whole
// picture (stored as no crop at all) is the whole of the next movie as the
// record turns it; a real crop is kept as it was, turned or not.
TEST(SettingsRecord, AWholePictureCropFollowsTheNextMovieAndARealCropStays) {
    PretendDocModel small;
    small.movieWidth = 160;
    small.movieHeight = 120;
    small.Load();
    PretendDocModel large;
    large.movieWidth = 640;
    large.movieHeight = 480;
    ASSERT_TRUE(large.SetSourceFile(Spec("/x.mov")));
    using Crop = std::array<int32_t, 4>;
    auto applied = [&] {
        large.storedSettings = small.WriteSettings();
        large.RefreshFromSource();
        return Crop{large.GetCropLeft(), large.GetCropTop(), large.GetCropRight(), large.GetCropBottom()};
    };
    small.SetRotation(90);
    for (size_t i = 4; i < 20; ++i) EXPECT_EQ(small.WriteSettings().Data()[i], 0) << "crop byte " << i;
    EXPECT_EQ(applied(), (Crop{0, 0, 480, 640}));
    small.SetRotation(0);
    EXPECT_EQ(applied(), (Crop{0, 0, 640, 480}));
    small.SetCrop(0, 0, 100, 120);
    EXPECT_EQ(applied(), (Crop{0, 0, 100, 120}));
    // A crop taller than the source is wide survives on a turned picture.
    small.SetRotation(90);
    small.SetCrop(0, 0, 100, 150);
    large.movieWidth = 160;
    large.movieHeight = 120;
    EXPECT_EQ(applied()[3], 150);
}

TEST(SettingsRecord, EveryTruncationFailsWithTheStreamErrorAndLeavesAUsableModel) {
    // A full record with something in every variable part.
    PretendDocModel rich;
    rich.Load();
    rich.SetCrop(1, 2, 300, 200);
    rich.SetWatermarkFile(Spec("/w.png"));
    rich.AddFilter(std::make_unique<Handle>(Handle("filter", 6)));
    rich.AddFilter(nullptr);
    rich.AddVideoSegment(MakeSegment(), T600(0), nullptr, nullptr);
    rich.AddAudioSegment(MakeSegment(), T600(0));
    rich.AddExcludedRange(TimeRange(T600(10), T600(20)));
    const Handle full = rich.WriteSettings();
    for (size_t length = 0; length < full.Size(); ++length) {
        PretendDocModel model;
        model.Load();
        EXPECT_EQ(ErrorCode([&] { model.ReadSettings(Handle(full.Data(), length)); }, false), eofErr) << length;
        // Still a working model.
        model.AddVideoSegment(MakeSegment(), T600(10), nullptr, nullptr);
        model.AddExcludedRange(TimeRange(T600(1), T600(2)));
        EXPECT_GE(model.WriteSettings().Size(), 63u);
    }
    PretendDocModel model;
    EXPECT_NO_THROW(model.ReadSettings(full));
}

// Counts and sizes that promise more than the record holds cost nothing and
// fail with the stream's error; what was read before the end is kept.
TEST(SettingsRecord, HugeCountsAndLyingSizesFailFastWithTheStreamError) {
    const struct {
        const char* what;
        std::string bytes;
        int32_t filters, ranges;
    } cases[] = {
        {"huge filter count", RecordBytes().U32(0x7FFFFFFF).U32(~0u).U32(~0u).Str(), 2, 0},  // two null filters
        {"huge range count", RecordBytes().U32(0).U32(0).U32(0).U32(0x7FFFFFFF).U32(1).U32(600).U32(2).U32(600).Str(), 0, 1},
        {"handle size 0x7FFFFFFF", RecordBytes().U32(1).U32(0x7FFFFFFF).U32(0xAABBCCDD).Str(), 0, 0},
        {"handle size 5", RecordBytes().U32(1).U32(5).U32(0xAABBCCDD).Str(), 0, 0},
        {"handle size 0xFFFFFFFE", RecordBytes().U32(1).U32(0xFFFFFFFE).U32(0xAABBCCDD).Str(), 0, 0},
    };
    for (const auto& c : cases) {
        PretendDocModel model;
        EXPECT_EQ(ErrorCode([&] { model.ReadSettings(Handle(c.bytes.data(), c.bytes.size())); }, false), eofErr) << c.what;
        EXPECT_EQ(std::pair(model.FilterCount(), model.ExcludedRangeCount()), std::pair(c.filters, c.ranges)) << c.what;
    }
    // A negative count reads nothing: filters -2^31, segments -1 each, ranges -7.
    PretendDocModel model;
    EXPECT_NO_THROW(model.ReadSettings(RecordBytes().U32(0x80000000).U32(~0u).U32(~0u).U32(uint32_t(-7)).ToHandle()));
    EXPECT_EQ(model.FilterCount() + model.VideoSegmentCount() + model.AudioSegmentCount() + model.ExcludedRangeCount(), 0);
}

TEST(SettingsRecord, HostileGeometryStaysInRangeAndRoundTrips) {
    RecordBytes r(false);
    r.U32(1).U32(0x80000000u).U32(0x7FFFFFFF).U32(0x80000001u).U32(0x7FFFFFFE);
    r.U32(0x7FFFFFFF).U32(0x80000000u).U32(0x7FFFFFF0);
    r.U8(0).U8(0).U8(0).U8(0).U16(0).U32(0).U8(0).U32(0).U32(0).U32(0).U32(0).U32(0);
    PretendDocModel model;
    model.Load();
    model.ReadSettings(r.ToHandle());
    model.SetRotation(90);
    model.SetFlipHorizontal(true);
    model.SetFlipVertical(true);
    model.SetCustomSize(true);
    model.SetConstrainProportions(true);
    model.SetOutputWidth(0x7FFFFFFF);
    EXPECT_GE(model.GetOutputHeight(), 0);  // saturated, not wrapped
    EXPECT_EQ(model.GetRotation(), 270);
    const Handle record = model.WriteSettings();
    PretendDocModel copy;
    copy.ReadSettings(record);
    EXPECT_EQ(copy.WriteSettings(), record);
}

}  // namespace
