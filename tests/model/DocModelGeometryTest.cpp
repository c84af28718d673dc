// Geometry, document and filter operations of the document model, with
// the change codes they send and the order they send them in.
#include <gtest/gtest.h>

#include "ModelTestSupport.h"
#include "model/SChangeInfo.h"

using namespace modeltest;
using Codes = std::vector<int32_t>;

namespace {

class DocModelGeometry : public ::testing::Test {
protected:
    void SetUp() override {
        model.Load();
        observer.Observe(&model);
    }
    void Crop(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        model.SetCrop(left, top, right, bottom);
        observer.Take();
    }
    void ExpectCrop(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        EXPECT_EQ(model.GetCropLeft(), left);
        EXPECT_EQ(model.GetCropTop(), top);
        EXPECT_EQ(model.GetCropRight(), right);
        EXPECT_EQ(model.GetCropBottom(), bottom);
    }
    FakeMovieDocModel model;
    RecordingObserver observer;
};

TEST_F(DocModelGeometry, DefaultsAndLoadCutTheFarEdgesToTheSource) {
    FakeMovieDocModel fresh;
    EXPECT_EQ(fresh.GetCropRight(), 32000);
    EXPECT_EQ(fresh.GetCropBottom(), 32000);
    EXPECT_EQ(fresh.GetWatermarkPlacement(), 12u);
    EXPECT_EQ(fresh.GetDuration().value, 0);
    EXPECT_EQ(fresh.GetDuration().scale, 600);
    ExpectCrop(0, 0, 320, 240);
}

TEST_F(DocModelGeometry, QuarterTurnCarriesTheCropAlong) {
    Crop(10, 20, 310, 230);
    model.SetRotation(0);
    EXPECT_TRUE(observer.Take().empty());
    model.SetRotation(90);
    ExpectCrop(10, 10, 220, 310);
    EXPECT_EQ(model.GetDisplayWidth(), 240);
    EXPECT_EQ(model.GetDisplayHeight(), 320);
    EXPECT_EQ(observer.Take(), Codes{kChangeRotation});

    // Turning back is the 270-degree rule and restores the crop.
    model.SetRotation(0);
    ExpectCrop(10, 20, 310, 230);
}

TEST_F(DocModelGeometry, HalfTurnMirrorsBothAxes) {
    Crop(10, 20, 300, 200);
    model.SetRotation(180);
    ExpectCrop(20, 40, 310, 220);
    model.SetRotation(0);
    ExpectCrop(10, 20, 300, 200);
}

TEST_F(DocModelGeometry, ThreeQuarterTurnFromZero) {
    Crop(10, 20, 310, 230);
    model.SetRotation(270);
    // right := old bottom, left := old top, top := W - old right, bottom := W - old left
    ExpectCrop(20, 10, 230, 310);
}

TEST_F(DocModelGeometry, RotationKeepsTheCropWhileProportionsAreHeld) {
    Crop(10, 20, 310, 230);
    model.SetConstrainProportions(true);
    observer.Take();
    model.SetRotation(90);
    ExpectCrop(10, 20, 310, 230);
    EXPECT_EQ(model.GetRotation(), 90);
}

TEST_F(DocModelGeometry, HorizontalFlipMirrorsAcrossTheDisplayedWidth) {
    Crop(10, 20, 300, 230);
    model.SetFlipHorizontal(true);
    ExpectCrop(20, 20, 310, 230);
    EXPECT_EQ(observer.Take(), Codes{kChangeFlipHorizontal});
    model.SetFlipHorizontal(true);
    EXPECT_TRUE(observer.Take().empty());
    model.ToggleFlipHorizontal();
    EXPECT_FALSE(model.GetFlipHorizontal());
    ExpectCrop(10, 20, 300, 230);
}

TEST_F(DocModelGeometry, FlipsOnATurnedPictureMirrorTheOtherAxis) {
    model.SetRotation(90);
    Crop(10, 20, 200, 300);
    model.SetFlipHorizontal(true);  // top/bottom about the source width (320)
    ExpectCrop(10, 20, 200, 300);   // symmetric about 160: unchanged
    Crop(10, 30, 200, 300);
    model.SetFlipHorizontal(false);
    ExpectCrop(10, 20, 200, 290);
    model.SetFlipVertical(true);  // left/right about the source height (240)
    ExpectCrop(40, 20, 230, 290);
    EXPECT_EQ(observer.Take(), (Codes{kChangeFlipHorizontal, kChangeFlipVertical}));
}

TEST_F(DocModelGeometry, BothFlipsBecomeAHalfTurn) {
    Crop(10, 20, 300, 200);
    model.SetFlipHorizontal(true);
    model.SetFlipVertical(true);
    EXPECT_FALSE(model.GetFlipHorizontal());
    EXPECT_FALSE(model.GetFlipVertical());
    EXPECT_EQ(model.GetRotation(), 180);
    // Horizontal mirror then vertical mirror: the same as a half turn.
    ExpectCrop(20, 40, 310, 220);
    EXPECT_EQ(observer.Take(), (Codes{kChangeFlipHorizontal, kChangeFlipVertical}));

    model.SetRotation(270);
    model.SetFlipVertical(true);
    model.ToggleFlipHorizontal();
    EXPECT_EQ(model.GetRotation(), 90);
}

TEST_F(DocModelGeometry, OutputWidthDrivesHeightWhenConstrained) {
    model.SetConstrainProportions(true);
    EXPECT_FLOAT_EQ(model.GetAspectRatio(), 320.0f / 240.0f);
    EXPECT_EQ(observer.Take(), Codes{kChangeConstrainProportions});

    model.SetOutputWidth(320);
    EXPECT_EQ(model.GetOutputHeight(), 240);
    EXPECT_EQ(observer.Take(), (Codes{kChangeOutputHeight, kChangeOutputWidth}));

    model.SetOutputHeight(120);
    EXPECT_EQ(model.GetOutputWidth(), 160);
    EXPECT_EQ(observer.Take(), (Codes{kChangeOutputWidth, kChangeOutputHeight}));

    model.SetOutputWidth(101);  // 75.75 rounds to 76
    EXPECT_EQ(model.GetOutputHeight(), 76);
}

TEST_F(DocModelGeometry, CustomSizeStartsFromTheCroppedSize) {
    Crop(10, 20, 310, 220);
    model.SetCustomSize(true);
    EXPECT_EQ(model.GetOutputWidth(), 300);
    EXPECT_EQ(model.GetOutputHeight(), 200);
    EXPECT_EQ(observer.Take(), Codes{kChangeCustomSize});

    model.SetConstrainProportions(true);
    EXPECT_FLOAT_EQ(model.GetAspectRatio(), 1.5f);  // from the output size now
}

TEST_F(DocModelGeometry, SwitchingCustomSizeOffDropsTheConstraintFirst) {
    model.SetCustomSize(true);
    model.SetConstrainProportions(true);
    observer.Take();
    model.SetCustomSize(false);
    EXPECT_EQ(observer.Take(), (Codes{kChangeConstrainProportions, kChangeCustomSize}));
    EXPECT_FALSE(model.GetConstrainProportions());
    EXPECT_EQ(model.GetAspectRatio(), 0.0f);
    EXPECT_EQ(model.GetOutputWidth(), 0);
    EXPECT_EQ(model.GetOutputHeight(), 0);
    model.SetCustomSize(false);
    EXPECT_TRUE(observer.Take().empty());
}

TEST_F(DocModelGeometry, ConstrainingWithoutASizeNeverDividesIntoGarbage) {
    FakeMovieDocModel empty;  // no movie: source 0 x 0
    empty.SetConstrainProportions(true);
    empty.SetOutputWidth(320);
    empty.SetOutputHeight(240);
    EXPECT_EQ(empty.GetOutputHeight(), 240);
}

TEST(DocModelDocument, SetSourceFileRefusedChangesNothing) {
    FakeMovieDocModel model;
    RecordingObserver observer;
    observer.Observe(&model);
    model.canOpen = false;
    FSSpec spec;
    FSSpec::FromPath("/tmp/some.mov", spec);
    EXPECT_FALSE(model.SetSourceFile(spec));
    EXPECT_FALSE(model.GetFileSpec().IsSet());
    EXPECT_TRUE(model.calls.empty());
    EXPECT_TRUE(observer.codes.empty());
}

TEST(DocModelDocument, SetSourceFileReadsSettingsThenMeasuresThenCuts) {
    FakeMovieDocModel model;
    RecordingObserver observer;
    observer.Observe(&model);
    FSSpec spec;
    FSSpec::FromPath("/tmp/some.mov", spec);
    EXPECT_TRUE(model.SetSourceFile(spec));
    EXPECT_EQ(model.GetFileSpec(), spec);
    EXPECT_EQ(model.calls, (std::vector<std::string>{"OpenMovie", "ReadSettingsFromMovie", "LoadMovieInfo"}));
    EXPECT_EQ(model.GetCropRight(), 320);
    EXPECT_EQ(model.GetCropBottom(), 240);
    EXPECT_EQ(observer.codes, Codes{kChangeSourceFile});
}

TEST(DocModelDocument, RefreshResetsGeometryButNotTheFile) {
    FakeMovieDocModel model;
    FSSpec spec;
    FSSpec::FromPath("/tmp/some.mov", spec);
    model.SetSourceFile(spec);
    model.SetRotation(90);
    model.SetCrop(1, 2, 3, 4);
    model.SetCustomSize(true);
    RecordingObserver observer;
    observer.Observe(&model);
    model.RefreshFromSource();
    EXPECT_EQ(model.GetRotation(), 0);
    EXPECT_FALSE(model.GetCustomSize());
    EXPECT_EQ(model.GetCropLeft(), 0);
    EXPECT_EQ(model.GetCropRight(), 320);
    EXPECT_EQ(model.GetFileSpec(), spec);
    EXPECT_EQ(observer.codes, Codes{kChangeRefreshFromSource});
}

TEST(DocModelFilters, TheModelOwnsFiltersUntilRemoved) {
    FakeMovieDocModel model;
    RecordingObserver observer;
    observer.Observe(&model);
    auto a = std::make_unique<Handle>(Handle("a", 1));
    Handle* rawA = a.get();
    model.AddFilter(std::move(a));
    model.AddFilter(std::make_unique<Handle>(Handle("c", 1)));
    model.InsertFilter(std::make_unique<Handle>(Handle("b", 1)), 2);
    model.InsertFilter(std::make_unique<Handle>(Handle("d", 1)), 99);  // clamped: appended
    ASSERT_EQ(model.FilterCount(), 4);
    EXPECT_EQ(model.GetFilter(1), rawA);
    EXPECT_EQ(model.GetFilter(2)->Data()[0], 'b');
    EXPECT_EQ(model.GetFilter(3)->Data()[0], 'c');
    EXPECT_EQ(model.GetFilter(4)->Data()[0], 'd');
    EXPECT_EQ(model.GetFilter(5), nullptr);
    EXPECT_EQ(model.GetFilter(0), nullptr);

    std::unique_ptr<Handle> removed = model.RemoveFilter(1);
    EXPECT_EQ(removed.get(), rawA);
    EXPECT_EQ(model.RemoveFilter(7), nullptr);
    model.FilterChanged();
    EXPECT_EQ(observer.codes, (Codes{kChangeFilterAdded, kChangeFilterAdded, kChangeFilterAdded,
                                     kChangeFilterAdded, kChangeFilterRemoved, kChangeFilterChanged}));
    model.DisposeAllFilters();
    EXPECT_EQ(model.FilterCount(), 0);
}

TEST(DocModelLifetime, DestructionSendsNothing) {
    RecordingObserver observer;
    {
        FakeMovieDocModel model;
        observer.Observe(&model);
        model.AddFilter(std::make_unique<Handle>(1));
        model.AddVideoSegment(MakeSegment(), T600(0), nullptr, nullptr);
        model.AddExcludedRange(TimeRange(T600(10), T600(20)));
        observer.Take();
    }
    EXPECT_TRUE(observer.codes.empty());
    EXPECT_EQ(observer.CountSubjects(), 0);
}

}  // namespace
