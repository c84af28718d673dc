// Killing the program at random moments: while it saves a document's
// settings into the movie, and while it compresses. The source movie stays
// playable with a whole record (the old one or the new one), no half movie
// ever appears under the destination's name, and the next run clears away
// the temporary file a killed one left.
//
// MOVELARK_KILL_RUNS sets the number of kills per test (default 12);
// MOVELARK_KILL_SEED repeats a run's random moments.
#include <gtest/gtest.h>

#include "HostileFiles.h"
#include "platform/media/source/MovieUserData.h"

using namespace hostile;
using Clock = std::chrono::steady_clock;

namespace {

int KillRuns() {
    const char* runs = std::getenv("MOVELARK_KILL_RUNS");
    return runs && std::atoi(runs) > 0 ? std::atoi(runs) : 12;
}

int RunToEnd(const std::vector<std::string>& args) { return WaitFor(Spawn(args)); }

// Runs `args`, kills the run after a random moment in [0, span) unless it
// has ended, and says when, for the messages.
std::string KillAtRandom(const std::vector<std::string>& args, std::mt19937& random, long span, bool mustBeRunning) {
    const long delay = std::uniform_int_distribution<long>(0, span)(random);
    int status = 0;
    const bool killed = SignalAfter(Spawn(args), std::chrono::microseconds(delay), SIGKILL, &status);
    EXPECT_TRUE(killed || !mustBeRunning) << "it ended by itself with status " << status;
    return "killed after " + std::to_string(delay) + " us";
}

long Microseconds(Clock::time_point since) {
    return long(std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - since).count());
}

// The stored record is one the save loop wrote whole (or there is none
// yet): placement 1000 + k, rotation 90 * (k % 4), k % 3 filters.
::testing::AssertionResult HoldsAWholeRecord(const fs::path& movie, bool mayBeEmpty) {
    PretendDocModel model;
    try {
        const Handle record = MovieUserData::Read(movie.string());
        if (record.IsNull() && mayBeEmpty) return ::testing::AssertionSuccess();
        if (record.IsNull()) return ::testing::AssertionFailure() << "the record is gone";
        model.ReadSettings(record);
    } catch (const LException& e) {
        return ::testing::AssertionFailure() << "the record cannot be read or is damaged: " << e.what();
    }
    const int k = int(model.GetWatermarkPlacement()) - 1000;
    if (k < 0 || k > 5 || model.GetRotation() != 90 * (k % 4) || model.FilterCount() != k % 3)
        return ::testing::AssertionFailure() << "a mix of two records: placement " << model.GetWatermarkPlacement()
                                             << ", rotation " << model.GetRotation() << ", " << model.FilterCount()
                                             << " filters";
    return ::testing::AssertionSuccess();
}

}  // namespace

// Movies with the movie resource at the end and at the front.
class KilledWhileSaving : public ::testing::TestWithParam<bool> {};

TEST_P(KilledWhileSaving, TheMovieStaysWholeWithTheOldOrNewRecordAndDoesNotGrow) {
    const fs::path dir = ScratchDir(), movie = dir / "document.mov", probe = dir / "probe.mov";
    fs::copy_file(GetParam() ? IndexFirstMovie() : SmallMovie(), movie);
    const std::string original = ReadBytes(movie), media = MediaData(original);
    ASSERT_FALSE(media.empty());
    const std::string packets = Probe(movie, "-count_packets -show_entries stream=nb_read_packets");

    // Start-up and one save set the scale: kills fall anywhere from before
    // the first save to a few dozen saves in.
    fs::copy_file(movie, probe);
    const auto started = Clock::now();
    ASSERT_EQ(RunToEnd({MOVELARK_SAVE_LOOP, probe.string(), "1"}), 0);
    const long once = Microseconds(started);
    EXPECT_TRUE(HoldsAWholeRecord(probe, false));

    std::mt19937 random = KillRandom();
    bool saved = false;
    for (int run = 0; run < KillRuns(); ++run) {
        const std::string when = KillAtRandom({MOVELARK_SAVE_LOOP, movie.string()}, random, 3 * once, true);
        EXPECT_TRUE(HoldsAWholeRecord(movie, !saved)) << when;
        saved = saved || !MovieUserData::Read(movie.string()).IsNull();
        EXPECT_EQ(MediaData(ReadBytes(movie)), media) << "the media data moved or changed; " << when;
        EXPECT_TRUE(DecodesCleanly(movie)) << when;
        EXPECT_EQ(Probe(movie, "-count_packets -show_entries stream=nb_read_packets"), packets) << when;
    }

    // A later run saves over whatever the last kill left, and the file has
    // not kept growing: it holds the new record and at most the movie
    // resource that stood before the media, retired when the first record
    // did not fit there.
    EXPECT_EQ(RunToEnd({MOVELARK_SAVE_LOOP, movie.string(), "3"}), 0);
    EXPECT_TRUE(HoldsAWholeRecord(movie, false));
    EXPECT_TRUE(DecodesCleanly(movie));
    EXPECT_LE(fs::file_size(movie), original.size() + FindTopLevelAtom(original, "moov").size + 2048);
}

INSTANTIATE_TEST_SUITE_P(CrashSafety, KilledWhileSaving, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "MoovFirst" : "MoovAtTheEnd"; });

TEST(CrashSafety, KilledWhileCompressingNoHalfMovieAppearsAndTheNextRunCleansUp) {
    const fs::path dir = ScratchDir(), out = dir / "out", source = dir / "source.mov";
    const fs::path dest = out / "result.mp4", finished = dir / "finished.mp4";
    fs::create_directories(out);
    fs::copy_file(SmallMovie(), source);
    const std::string original = ReadBytes(source);
    const std::vector<std::string> command = {MovelarkBinary().string(), "compress", source.string(),
                                              "-o", dest.string(), "--quiet"};

    // How long one whole run takes sets the span the kills fall in.
    const auto started = Clock::now();
    ASSERT_EQ(RunToEnd(command), 0);
    const long whole = Microseconds(started);
    ASSERT_TRUE(DecodesCleanly(dest));
    ASSERT_EQ(FileNames(out), std::vector<std::string>{"result.mp4"});
    fs::copy_file(dest, finished);

    std::mt19937 random = KillRandom();
    for (int run = 0; run < KillRuns(); ++run) {
        // Every other run replaces a finished movie.
        const bool hadOldOne = run % 2 == 1;
        fs::remove(dest);
        if (hadOldOne) fs::copy_file(finished, dest);
        const std::string when = KillAtRandom(command, random, whole * 11 / 10, false);
        EXPECT_EQ(ReadBytes(source), original) << "the source changed; " << when;
        // Whatever is under the name is a whole movie.
        if (fs::exists(dest))
            EXPECT_TRUE(WholeMovie(dest, DurationSeconds(source, "v:0"))) << "a damaged movie; " << when;
        else
            EXPECT_FALSE(hadOldOne) << "the finished movie was lost; " << when;
        for (const std::string& name : FileNames(out))
            EXPECT_TRUE(name == "result.mp4" || name[0] == '.') << "a visible leftover: " << name;
    }

    ASSERT_EQ(RunToEnd(command), 0);
    EXPECT_TRUE(DecodesCleanly(dest));
    EXPECT_EQ(FileNames(out), std::vector<std::string>{"result.mp4"}) << "the stale temporary file is still there";
    EXPECT_EQ(ReadBytes(source), original);
}
