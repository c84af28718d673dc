// Geometry operations of the document model, with
// the change codes they send and the order they send them in.
#include <gtest/gtest.h>

#include <array>

#include "model/OutputTransform.h"
#include "model/SChangeInfo.h"
#include "model/WatermarkPlacement.h"
#include "support/PretendDocModel.h"

using namespace docsupport;
using Codes = std::vector<int32_t>;
using Crop = std::array<int32_t, 4>;  // left, top, right, bottom

namespace {

Crop CropOf(const CTambleDocModel& m) {
    return {m.GetCropLeft(), m.GetCropTop(), m.GetCropRight(), m.GetCropBottom()};
}

// A 320 x 240 movie: the crop is set, then `act` runs; the crop, the
// orientation and the changes sent during `act` are checked.
struct GeometryCase {
    const char* name;
    Crop crop;
    std::function<void(PretendDocModel&)> act;
    Crop after;
    int32_t rotation;
    bool flipH, flipV;
    Codes codes;
};

// Cases print as their names, not as bytes.
void PrintTo(const GeometryCase& c, std::ostream* os) { *os << c.name; }

class DocModelGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(DocModelGeometry, CropFollowsTheOrientation) {
    const GeometryCase& c = GetParam();
    PretendDocModel model;
    model.Load();
    model.SetCrop(c.crop[0], c.crop[1], c.crop[2], c.crop[3]);
    RecordingObserver observer;
    observer.Observe(&model);
    c.act(model);
    EXPECT_EQ(CropOf(model), c.after);
    EXPECT_EQ(model.GetRotation(), c.rotation);
    EXPECT_EQ(model.GetFlipHorizontal(), c.flipH);
    EXPECT_EQ(model.GetFlipVertical(), c.flipV);
    EXPECT_EQ(observer.codes, c.codes);
}

constexpr int32_t kRot = kChangeRotation, kFlipH = kChangeFlipHorizontal, kFlipV = kChangeFlipVertical;
using M = PretendDocModel;

INSTANTIATE_TEST_SUITE_P(
    Turns, DocModelGeometry,
    ::testing::Values(
        GeometryCase{"SameRotationSendsNothing", {10, 20, 310, 230}, [](M& m) { m.SetRotation(0); },
                     {10, 20, 310, 230}, 0, false, false, {}},
        GeometryCase{"QuarterTurn", {10, 20, 310, 230}, [](M& m) { m.SetRotation(90); }, {10, 10, 220, 310}, 90,
                     false, false, {kRot}},
        GeometryCase{"HalfTurn", {10, 20, 300, 200}, [](M& m) { m.SetRotation(180); }, {20, 40, 310, 220}, 180,
                     false, false, {kRot}},
        // right := old bottom, left := old top, top := W - old right, bottom := W - old left
        GeometryCase{"ThreeQuarterTurn", {10, 20, 310, 230}, [](M& m) { m.SetRotation(270); }, {20, 10, 230, 310},
                     270, false, false, {kRot}},
        GeometryCase{"HeldProportionsKeepTheCrop", {10, 20, 310, 230},
                     [](M& m) { m.SetConstrainProportions(true), m.SetRotation(90); }, {10, 20, 310, 230}, 90,
                     false, false, {kChangeConstrainProportions, kRot}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Flips, DocModelGeometry,
    ::testing::Values(
        GeometryCase{"HorizontalMirrorsAcrossTheWidth", {10, 20, 300, 230},
                     [](M& m) { m.SetFlipHorizontal(true), m.SetFlipHorizontal(true); }, {20, 20, 310, 230}, 0,
                     true, false, {kFlipH}},
        GeometryCase{"ToggledBack", {10, 20, 300, 230}, [](M& m) { m.SetFlipHorizontal(true), m.ToggleFlipHorizontal(); },
                     {10, 20, 300, 230}, 0, false, false, {kFlipH, kFlipH}},
        // On a turned picture horizontal mirrors top/bottom about the source
        // width (320), vertical left/right about the source height (240).
        GeometryCase{"OnATurnedPicture", {0, 0, 0, 0},
                     [](M& m) {
                         m.SetRotation(90), m.SetCrop(10, 30, 200, 300);
                         m.SetFlipHorizontal(true);
                         EXPECT_EQ(CropOf(m), (Crop{10, 20, 200, 290}));
                         m.SetFlipHorizontal(false), m.SetFlipVertical(true);
                     },
                     {40, 30, 230, 300}, 90, false, true, {kRot, kChangeCrop, kFlipH, kFlipH, kFlipV}},
        GeometryCase{"BothBecomeAHalfTurn", {10, 20, 300, 200},
                     [](M& m) { m.SetFlipHorizontal(true), m.SetFlipVertical(true); }, {20, 40, 310, 220}, 180,
                     false, false, {kFlipH, kFlipV}},
        GeometryCase{"BothOnAThreeQuarterTurn", {0, 0, 320, 240},
                     [](M& m) { m.SetRotation(270), m.SetFlipVertical(true), m.ToggleFlipHorizontal(); },
                     {0, 0, 240, 320}, 90, false, false, {kRot, kFlipV, kFlipH}}),
    [](const auto& info) { return std::string(info.param.name); });

class DocModelSize : public ::testing::Test, protected WatchedModel {};

TEST_F(DocModelSize, OutputWidthDrivesHeightWhenConstrained) {
    model.SetConstrainProportions(true);
    EXPECT_FLOAT_EQ(model.GetAspectRatio(), 320.0f / 240.0f);
    model.SetOutputWidth(320);
    EXPECT_EQ(model.GetOutputHeight(), 240);
    model.SetOutputHeight(120);
    EXPECT_EQ(model.GetOutputWidth(), 160);
    EXPECT_EQ(observer.Take(), (Codes{kChangeConstrainProportions, kChangeOutputHeight, kChangeOutputWidth,
                                      kChangeOutputWidth, kChangeOutputHeight}));
    model.SetOutputWidth(101);  // 75.75 rounds to 76
    EXPECT_EQ(model.GetOutputHeight(), 76);

    PretendDocModel empty;  // no movie: source 0 x 0, never a division into garbage
    empty.SetConstrainProportions(true);
    empty.SetOutputWidth(320);
    empty.SetOutputHeight(240);
    EXPECT_EQ(empty.GetOutputHeight(), 240);
}

TEST_F(DocModelSize, CustomSizeStartsFromTheCropAndDropsTheConstraintFirstWhenOff) {
    model.SetCrop(10, 20, 310, 220);
    model.SetCustomSize(true);
    EXPECT_EQ(model.GetOutputWidth(), 300);
    EXPECT_EQ(model.GetOutputHeight(), 200);
    model.SetConstrainProportions(true);
    EXPECT_FLOAT_EQ(model.GetAspectRatio(), 1.5f);  // from the output size now
    observer.Take();
    model.SetCustomSize(false);
    model.SetCustomSize(false);
    EXPECT_EQ(observer.Take(), (Codes{kChangeConstrainProportions, kChangeCustomSize}));
    EXPECT_FALSE(model.GetConstrainProportions());
    EXPECT_EQ(model.GetAspectRatio(), 0.0f);
    EXPECT_EQ(model.GetOutputWidth() + model.GetOutputHeight(), 0);
}

// Where the source's top-left corner of a 320 x 240 picture lands in the
// output frame, and the frame's size.
TEST(OutputTransform, FlipsTurnCropAndScaleInThatOrder) {
    struct Case {
        bool flipH, flipV;
        int32_t rotation;
        Rect crop;
        int32_t outWidth, outHeight;
        double x, y;
        int width, height;
    };
    const Rect kAll{}, kCrop = MakeRect(20, 10, 200, 160);
    const Case cases[] = {
        {false, false, 0, kAll, 0, 0, 0, 0, 320, 240},        {true, false, 90, kAll, 0, 0, 240, 320, 240, 320},
        {false, false, 0, kCrop, 0, 0, -20, -10, 200, 160},   {false, false, 0, kCrop, 100, 80, -10, -5, 100, 80},
        {false, false, 0, kAll, 160, 0, 0, 0, 320, 240},
    };
    for (const Case& c : cases) {
        const OutputTransform t({c.flipH, c.flipV, c.rotation, c.crop, c.outWidth, c.outHeight}, 320, 240);
        const MoviePoint p = t.ToFrame().MapPoint({0, 0});
        EXPECT_EQ(std::make_tuple(p.x, p.y, t.FrameWidth(), t.FrameHeight()),
                  std::make_tuple(c.x, c.y, c.width, c.height))
            << c.flipH << c.flipV << " " << c.rotation << " " << c.crop.Width() << " " << c.outWidth;
        const bool whole = c.crop.IsEmpty() && c.outHeight == 0;
        EXPECT_EQ(t.Orientation().NearlyEquals(t.ToFrame()), whole);
    }
}

// The flags place the watermark in a frame; a preview over the crop of a
// 320 x 240 movie also scales it by the zoom and by crop / custom output.
TEST(WatermarkPlacement, FlagsPlaceItAndPreviewsScaleItByZoomAndOutput) {
    const Rect frame = MakeRect(0, 0, 320, 240), mark = MakeRect(17, 9, 40, 20);
    const std::pair<uint32_t, Rect> places[] = {
        {0, MakeRect(0, 0, 40, 20)},       {kDefaultWatermarkPlacement, MakeRect(280, 220, 40, 20)},
        {4 | 1, MakeRect(140, 0, 40, 20)}, {8 | 2, MakeRect(0, 110, 40, 20)},
        {15, MakeRect(140, 110, 40, 20)},  {1 | 2, MakeRect(0, 0, 40, 20)}};  // halving alone moves nothing
    for (const auto& [flags, placed] : places) EXPECT_EQ(PlaceRectInFrame(mark, frame, flags), placed) << flags;
    EXPECT_EQ(PlaceRectInFrame(MakeRect(0, 0, 41, 21), MakeRect(0, 0, 20, 10), 15), MakeRect(-10, -5, 41, 21));

    struct Case {
        double zoom;
        int32_t outWidth, outHeight;  // 0: no custom size
        Rect placed;
    };
    const Case cases[] = {{0.5, 0, 0, MakeRect(120, 90, 50, 50)},       {2.0, 0, 0, MakeRect(-30, -60, 200, 200)},
                          {0.5, 160, 480, MakeRect(70, 115, 100, 25)},  {0.5, 16000, 120, MakeRect(166, 40, 4, 100)},
                          {1.0, 32, 24, MakeRect(-330, -360, 500, 500)}, {0.0, 0, 0, Rect{}}};
    for (const Case& c : cases) {
        PretendDocModel model;
        model.Load();
        model.SetCustomSize(c.outWidth > 0);
        model.SetOutputWidth(c.outWidth);
        model.SetOutputHeight(c.outHeight);
        EXPECT_EQ(PlaceWatermarkOverCrop(model, 100, 100, MakeRect(10, 20, 160, 120), c.zoom, 320, 240), c.placed)
            << c.zoom << " " << c.outWidth;
    }
}

}  // namespace
