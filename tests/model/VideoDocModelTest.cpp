// The document model on real movie files made with ffmpeg: opening,
// measuring, playback and stepping, settings stored in the movie, saving
// under a new name, and the preparation of a compression run.
#include <gtest/gtest.h>

#include "support/PretendDocModel.h"
#include "support/SourceMovies.h"
#include "support/TestSupport.h"
#include "model/CTambleVideoDocModel.h"
#include "model/SChangeInfo.h"
#include "platform/media/source/MovieUserData.h"

using namespace docsupport;
using namespace fixtures;
using namespace testsupport;
using Codes = std::vector<int32_t>;
namespace fs = std::filesystem;

namespace {

// Movie time as seconds x 1000, whatever the movie's scale.
int32_t Millis(const STimeValue& t) { return t.ValueIn(1000); }

class VideoDocModel : public ::testing::Test {
protected:
    void Open(const fs::path& file) {
        ASSERT_TRUE(model.SetSourceFile(Spec(file)));
        ASSERT_NE(model.GetMovie(), nullptr);
        observer.Observe(&model);
    }
    CTambleVideoDocModel model;
    RecordingObserver observer;
};

TEST_F(VideoDocModel, OpeningMeasuresTheMovie) {
    const fs::path file = MovieWithSound();
    RecordingObserver early;
    early.Observe(&model);
    ASSERT_TRUE(model.SetSourceFile(Spec(file)));
    EXPECT_EQ(early.codes, Codes{kChangeSourceFile});
    EXPECT_EQ(std::pair(model.GetSourceWidth(), model.GetSourceHeight()), std::pair(160, 120));
    EXPECT_EQ(std::pair(model.GetCropRight(), model.GetCropBottom()), std::pair(160, 120));
    EXPECT_NEAR(Millis(model.GetDuration()), 2000, 50);
    EXPECT_EQ(model.GetDuration().scale, model.GetMovie()->TimeScale());
    EXPECT_EQ(model.GetFileSize(), fs::file_size(file));
    EXPECT_TRUE(model.HasAudio() && model.HasVideo() && model.IsMovieDocument());
    auto picture = model.GetCurrentFramePicture();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(std::pair(picture->Width(), picture->Height()), std::pair(160, 120));
}

TEST(VideoDocModelOpen, TheContentDecidesWhatOpens) {
    CTambleVideoDocModel model;
    EXPECT_FALSE(model.CanOpen(Spec(SoundOnlyAac())));
    EXPECT_FALSE(model.SetSourceFile(Spec(SoundOnlyAac())));
    EXPECT_FALSE(model.GetFileSpec().IsSet());

    const fs::path dir = ScratchDir();
    WriteBytes(dir / "notes.txt", "hello");
    EXPECT_FALSE(model.CanOpen(Spec(dir / "notes.txt")));
    EXPECT_EQ(model.GetOpenRefusal(), CTambleVideoDocModel::OpenRefusal::NotAMovie);
    EXPECT_FALSE(model.CanOpen(Spec(SoundOnlyAac())));
    EXPECT_EQ(model.GetOpenRefusal(), CTambleVideoDocModel::OpenRefusal::NoPictures);
    // The content decides: Matroska named .mov opens, as a movie not saved in its own file.
    const fs::path disguised = dir / "clip.mov";
    fs::copy_file(CountingMatroska(), disguised);
    ASSERT_TRUE(model.SetSourceFile(Spec(disguised)));
    EXPECT_FALSE(model.IsMovieDocument());
    // Saved as a QuickTime copy, it is one, with its settings inside.
    ASSERT_EQ(model.SaveMovieAs(Spec(dir / "copy.mov")), noErr);
    EXPECT_TRUE(model.IsMovieDocument());
    EXPECT_GT(MovieUserData::Read((dir / "copy.mov").string()).Size(), 0u);
    EXPECT_TRUE(CTambleVideoDocModel::IsMovieFile(Spec("/x/Clip.MP4")));
    EXPECT_TRUE(CTambleVideoDocModel::IsMovieFile(Spec("/x/clip.m4v")));
    EXPECT_FALSE(CTambleVideoDocModel::IsMovieFile(Spec("/x.mov/clip")));
}

TEST_F(VideoDocModel, PlayStopAndJumpsSendTheirChanges) {
    Open(MovieWithSound());
    model.Play();
    EXPECT_TRUE(model.IsPlaying());
    model.Play();
    model.Stop();
    model.Stop();
    EXPECT_EQ(observer.Take(), (Codes{kChangePlay, kChangeStop}));

    model.GoToEnd();
    EXPECT_TRUE(model.IsAtEnd());
    model.GoToEnd();
    EXPECT_EQ(observer.Take(), Codes{kChangeCurrentTime});

    // Playing at the end starts over.
    model.Play();
    EXPECT_EQ(observer.Take(), (Codes{kChangeCurrentTime, kChangePlay}));
    EXPECT_LT(Millis(model.GetCurrentTime()), 500);
    model.GoToStart();
    EXPECT_FALSE(model.IsPlaying());
    EXPECT_EQ(observer.Take().front(), kChangeStop);
}

TEST_F(VideoDocModel, SteppingVisitsEveryFrameAndWrapsAtTheEnd) {
    Open(MovieWithoutSound());
    std::vector<int32_t> visited;
    for (int i = 0; i < 25 && !model.IsAtEnd(); ++i) {
        model.StepFrames(1);
        visited.push_back(Millis(model.GetCurrentTime()));
    }
    ASSERT_EQ(visited.size(), 20u);  // 19 frames after the first, then the end
    for (int i = 0; i < 19; ++i) EXPECT_NEAR(visited[i], (i + 1) * 100, 1) << "frame " << i + 1;
    EXPECT_TRUE(model.IsAtEnd());
    EXPECT_EQ(observer.Take(), Codes(20, kChangeCurrentTime));

    model.StepFrames(1);  // wraps to the start, then steps
    EXPECT_NEAR(Millis(model.GetCurrentTime()), 100, 1);
    model.StepFrames(-1);
    EXPECT_EQ(model.GetCurrentTime().value, 0);
    model.StepFrames(-1);
    EXPECT_EQ(model.GetCurrentTime().value, 0);

    model.Play();
    observer.Take();
    model.StepFrames(1);
    EXPECT_FALSE(model.IsPlaying());
    EXPECT_EQ(observer.Take(), (Codes{kChangeStop, kChangeCurrentTime}));
}

TEST_F(VideoDocModel, SteppingJumpsOverExcludedRanges) {
    Open(MovieWithoutSound());
    model.AddExcludedRange(TimeRange(STimeValue{1, 2}, STimeValue{1, 1}));  // 0.5 s .. 1 s
    model.SetCurrentTime(STimeValue{4, 10});
    model.StepFrames(1);
    EXPECT_EQ(Millis(model.GetCurrentTime()), 1000);
    model.StepFrames(-1);
    EXPECT_NEAR(Millis(model.GetCurrentTime()), 400, 1);

    model.SetCurrentTime(STimeValue{7, 10});
    model.SkipExcludedRange(-0x10000);
    EXPECT_NEAR(Millis(model.GetCurrentTime()), 400, 1);
    model.SetCurrentTime(STimeValue{7, 10});
    model.SkipExcludedRange(0x10000);
    EXPECT_EQ(Millis(model.GetCurrentTime()), 1000);
}

TEST_F(VideoDocModel, SnappingFollowsTheFrameGrid) {
    Open(MovieWithoutSound());
    const int32_t scale = model.GetMovie()->TimeScale();
    auto snap = [&](int32_t millis, int direction) {
        STimeValue t{millis, 1000};
        model.SnapToFrame(t, direction);
        EXPECT_EQ(t.scale, scale);
        return Millis(t);
    };
    // Frames every 100 ms: between 500 and 600 the candidates are the
    // frame before, the midpoint and the frame after.
    EXPECT_NEAR(snap(520, 0), 500, 1);
    EXPECT_NEAR(snap(540, 0), 550, 1);
    EXPECT_NEAR(snap(560, 0), 550, 1);
    EXPECT_NEAR(snap(590, 0), 600, 1);
    EXPECT_EQ(snap(0, 0), 0);
    EXPECT_NEAR(snap(500, 1), 600, 1);
    EXPECT_NEAR(snap(500, -1), 400, 1);
    EXPECT_NEAR(snap(99999, 0), Millis(model.GetDuration()), 1);  // clamped to the end
    EXPECT_EQ(snap(-500, -1), 0);
    EXPECT_TRUE(observer.codes.empty());
}

TEST_F(VideoDocModel, ABrokenStoredRecordOpensWithTheBuiltInSettings) {
    const fs::path file = ScratchCopy(MovieWithoutSound(), "hostile.mov");
    MovieUserData::Write(file.string(), Handle("\x00\x01\x00\x00\x00\x00", 6));
    ASSERT_TRUE(model.SetSourceFile(Spec(file)));
    EXPECT_NE(model.GetSettingsWarning().find("ends before all its fields"), std::string::npos);
    EXPECT_EQ(model.GetCropRight(), model.GetSourceWidth());
    model.AddVideoSegment(MakeSegment(), T600(0), nullptr, nullptr);
    EXPECT_EQ(model.VideoSegmentCount(), 1);
}

TEST_F(VideoDocModel, SaveAsMovesTheDocumentToTheNewFile) {
    const fs::path source = ScratchCopy(MovieWithSound(), "original.mov");
    Open(source);
    model.SetRotation(180);
    model.StepFrames(1);
    observer.Take();
    const fs::path destination = source.parent_path() / "renamed.mov";

    struct MovieWatcher : CObserver {
        void* lastMovie = nullptr;
        void Update(OSType, int32_t code, void* arg1, int32_t, int32_t, int32_t) override {
            if (code == kChangeMovieReplaced) lastMovie = arg1;
        }
    } watcher;
    watcher.Observe(&model);

    ASSERT_EQ(model.SaveMovieAs(Spec(destination)), noErr);
    EXPECT_EQ(observer.Take(), Codes{kChangeMovieReplaced});
    EXPECT_EQ(watcher.lastMovie, model.GetMovie());
    EXPECT_EQ(model.GetFileSpec(), Spec(destination));
    EXPECT_NEAR(Millis(model.GetCurrentTime()), 100, 1);
    EXPECT_EQ(Probe(destination, "-show_entries format=nb_streams"), "2");
    EXPECT_TRUE(DecodesCleanly(destination));
    EXPECT_TRUE(MovieUserData::Read(source.string()).IsNull());  // the original is untouched

    CTambleVideoDocModel reopened;
    ASSERT_TRUE(reopened.SetSourceFile(Spec(destination)));
    EXPECT_EQ(reopened.GetRotation(), 180);

    // A destination that cannot be written leaves the document where it was.
    EXPECT_NE(model.SaveMovieAs(Spec(source.parent_path() / "missing" / "x.mov")), noErr);
    EXPECT_EQ(model.GetFileSpec(), Spec(destination));
    EXPECT_TRUE(observer.Take().empty());
}

// Records what it was handed and fails as a full disk would.
struct RecordingService : CompressionService {
    FSSpec source, destination;
    SCompressSettings settings;
    OSErr CompressMovieFile(const FSSpec& s, const FSSpec& d, const SCompressSettings& c, std::string* message) override {
        source = s, destination = d, settings = c;
        *message = "disk full";
        return -34;
    }
};

TEST_F(VideoDocModel, CompressFitsTheSegmentsAndHandsTheDocumentToTheService) {
    Open(MovieWithoutSound());  // about 2 s
    const STimeValue duration = model.GetDuration();
    model.SetCrop(4, 8, 150, 100);
    model.SetFlipHorizontal(true);  // crop mirrors: left 10, right 156
    model.SetWatermarkPlacement(3);
    // Laid by hand: 0-1 s, 1-3 s (runs past the end), 3-4 s (starts past it).
    model.LayVideoSegments(MakeSegments({{0, 600}, {600, 1800}, {1800, 2400}}));
    model.LayExcludedRanges({TimeRange(T600(900), T600(950)), TimeRange(T600(100), T600(200))});
    RecordingService service;
    EXPECT_EQ(model.Compress(Spec("/tmp/out.mov"), service), -34);
    EXPECT_EQ(model.GetCompressMessage(), "disk full");
    EXPECT_EQ(service.source, model.GetFileSpec());
    EXPECT_EQ(service.destination, Spec("/tmp/out.mov"));
    const SCompressSettings& seen = service.settings;
    EXPECT_EQ(seen.crop, (Rect{8, 10, 100, 156}));
    EXPECT_TRUE(seen.flipHorizontal);
    EXPECT_EQ(seen.watermarkPlacement, 3u);
    EXPECT_EQ(seen.videoSegments, &model.VideoSegments());
    EXPECT_EQ(seen.filters, &model.Filters());
    EXPECT_EQ(seen.excludedRanges, &model.ExcludedRanges());
    ASSERT_EQ(model.VideoSegmentCount(), 2);
    STimeValue start, end;
    GetDescriptionTime(model.GetVideoSegment(2), start, end);
    EXPECT_EQ(start, T600(600));
    EXPECT_EQ(end, duration);
    EXPECT_EQ(model.GetExcludedRange(1)->start, T600(100));
    // A list that stops short is stretched to the end.
    model.LayVideoSegments(MakeSegments({{0, 600}}));
    model.Compress(Spec("/tmp/out.mov"), service);
    GetDescriptionTime(model.GetVideoSegment(1), start, end);
    EXPECT_EQ(start, T600(0));
    EXPECT_EQ(end, duration);
}

}  // namespace
