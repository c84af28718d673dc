// Killing the program at random moments: while it saves a document's
// settings into the movie, and while it compresses. The source movie stays
// playable with a whole record (the old one or the new one), no half movie
// ever appears under the destination's name, and the next run clears away
// the temporary file a killed one left.
//
// MOVELARK_KILL_RUNS sets the number of kills per test (default 12);
// MOVELARK_KILL_SEED repeats a run's random moments.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>

#include "HostileFiles.h"
#include "support/TestSupport.h"
#include "support/PretendDocModel.h"
#include "platform/media/source/MovieUserData.h"

namespace fs = std::filesystem;
using namespace hostile;
using Clock = std::chrono::steady_clock;

namespace {

int KillRuns() {
    const char* runs = std::getenv("MOVELARK_KILL_RUNS");
    return runs && std::atoi(runs) > 0 ? std::atoi(runs) : 12;
}

// Waits `delay`, then kills the program unless it has finished. True when
// the kill interrupted it; otherwise its exit status goes to *status.
bool KillAfter(pid_t pid, std::chrono::microseconds delay, int* exitStatus = nullptr) {
    int status = 0;
    const bool killed = SignalAfter(pid, delay, SIGKILL, &status) && status == 128 + SIGKILL;
    if (!killed && exitStatus) *exitStatus = status;
    return killed;
}

int RunToEnd(const std::vector<std::string>& args) { return WaitFor(Spawn(args)); }

// The stored record is one the save loop wrote whole (or there is none
// yet): placement 1000 + k, rotation 90 * (k % 4), k % 3 filters.
::testing::AssertionResult HoldsAWholeRecord(const fs::path& movie, bool mayBeEmpty) {
    Handle record;
    try {
        record = MovieUserData::Read(movie.string());
    } catch (const LException& e) {
        return ::testing::AssertionFailure() << "cannot read the record: " << e.what();
    }
    if (record.IsNull()) {
        if (mayBeEmpty) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the record is gone";
    }
    PretendDocModel model;
    try {
        model.ReadSettings(record);
    } catch (const LException& e) {
        return ::testing::AssertionFailure() << "the record is damaged: " << e.what();
    }
    const uint32_t placement = model.GetWatermarkPlacement();
    if (placement < 1000 || placement > 1005) return ::testing::AssertionFailure() << "placement " << placement;
    const int k = int(placement - 1000);
    if (model.GetRotation() != 90 * (k % 4) || model.FilterCount() != k % 3)
        return ::testing::AssertionFailure() << "a mix of two records: state " << k << ", rotation "
                                             << model.GetRotation() << ", " << model.FilterCount() << " filters";
    return ::testing::AssertionSuccess();
}

}  // namespace

// Movies with the movie resource at the end and at the front.
class KilledWhileSaving : public ::testing::TestWithParam<bool> {};

TEST_P(KilledWhileSaving, TheMovieStaysWholeWithTheOldOrNewRecordAndDoesNotGrow) {
    const fs::path dir = testsupport::ScratchDir();
    const fs::path movie = dir / "document.mov";
    fs::copy_file(GetParam() ? FastStartMovie() : SourceMovie(), movie);
    const std::string original = ReadBytes(movie);
    const std::string media = MediaData(original);
    ASSERT_FALSE(media.empty());
    const std::string packets = testsupport::Probe(movie, "-count_packets -show_entries stream=nb_read_packets");

    // Start-up and one save set the scale: kills fall anywhere from before
    // the first save to a few dozen saves in.
    const fs::path probe = dir / "probe.mov";
    fs::copy_file(movie, probe);
    const auto started = Clock::now();
    ASSERT_EQ(RunToEnd({MOVELARK_SAVE_LOOP, probe.string(), "1"}), 0);
    const long once = long(std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started).count());
    EXPECT_TRUE(HoldsAWholeRecord(probe, false));

    std::mt19937 random = KillRandom();
    std::uniform_int_distribution<long> delayUs(0, 3 * once);
    const int runs = KillRuns();
    int interrupted = 0, whole = 0;
    bool saved = false;
    for (int run = 0; run < runs; ++run) {
        const pid_t pid = Spawn({MOVELARK_SAVE_LOOP, movie.string()});
        const long delay = delayUs(random);
        int status = 0;
        if (KillAfter(pid, std::chrono::microseconds(delay), &status)) ++interrupted;
        else ADD_FAILURE() << "the save loop ended by itself with status " << status;

        const std::string now = ReadBytes(movie);
        const ::testing::AssertionResult recordOk = HoldsAWholeRecord(movie, !saved);
        EXPECT_TRUE(recordOk) << "run " << run << ", killed after " << delay << " us";
        saved = saved || !MovieUserData::Read(movie.string()).IsNull();
        const bool mediaOk = MediaData(now) == media;
        EXPECT_TRUE(mediaOk) << "the media data moved or changed; run " << run;
        const bool plays = DecodesCleanly(movie) &&
                           testsupport::Probe(movie, "-count_packets -show_entries stream=nb_read_packets") == packets;
        EXPECT_TRUE(plays) << "run " << run << ", killed after " << delay << " us";
        if (recordOk && mediaOk && plays) ++whole;
    }

    // A later run saves over whatever the last kill left, and the file has
    // not kept growing: it holds the new record and at most the movie
    // resource that stood before the media, retired when the first record
    // did not fit there.
    EXPECT_EQ(RunToEnd({MOVELARK_SAVE_LOOP, movie.string(), "3"}), 0);
    EXPECT_TRUE(HoldsAWholeRecord(movie, false));
    EXPECT_TRUE(DecodesCleanly(movie));
    const uint64_t moovSize = FindTopLevelAtom(original, "moov").size;
    EXPECT_LE(fs::file_size(movie), original.size() + moovSize + 2048);

    std::cout << "settings saves killed: " << interrupted << " of " << runs << ", movie whole after " << whole
              << "\n";
    RecordProperty("killed", interrupted);
    RecordProperty("whole", whole);
    EXPECT_EQ(whole, runs);
}

INSTANTIATE_TEST_SUITE_P(CrashSafety, KilledWhileSaving, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "MoovFirst" : "MoovAtTheEnd"; });

TEST(CrashSafety, KilledWhileCompressingNoHalfMovieAppearsAndTheNextRunCleansUp) {
    const fs::path dir = testsupport::ScratchDir();
    const fs::path in = dir / "in", out = dir / "out";
    fs::create_directories(in);
    fs::create_directories(out);
    const fs::path source = in / "source.mov";
    fs::copy_file(SourceMovie(), source);
    const std::string original = ReadBytes(source);
    const double duration = Seconds(source);
    const fs::path dest = out / "result.mp4";
    const std::vector<std::string> command = {testsupport::MovelarkBinary().string(), "compress", source.string(),
                                              "-o", dest.string(), "--quiet"};

    // How long one whole run takes sets the span the kills fall in.
    const auto started = Clock::now();
    ASSERT_EQ(RunToEnd(command), 0);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started);
    ASSERT_TRUE(DecodesCleanly(dest));
    ASSERT_EQ(Names(out), std::vector<std::string>{"result.mp4"});
    const fs::path finished = dir / "finished.mp4";
    fs::copy_file(dest, finished);

    std::mt19937 random = KillRandom();
    std::uniform_int_distribution<long> delayUs(0, long(whole.count() * 11 / 10));
    const int runs = KillRuns();
    int interrupted = 0, undamaged = 0, staleTemporaries = 0;
    for (int run = 0; run < runs; ++run) {
        // Every other run replaces a finished movie.
        const bool hadOldOne = run % 2 == 1;
        fs::remove(dest);
        if (hadOldOne) fs::copy_file(finished, dest);
        const pid_t pid = Spawn(command);
        const long delay = delayUs(random);
        if (KillAfter(pid, std::chrono::microseconds(delay))) ++interrupted;

        bool ok = ReadBytes(source) == original;
        EXPECT_TRUE(ok) << "the source changed; run " << run;
        if (fs::exists(dest)) {
            // Whatever is under the name is a whole movie.
            const bool complete = WholeMovie(dest, duration);
            EXPECT_TRUE(complete) << "a damaged movie under the destination's name; run " << run << ", killed after "
                                  << delay << " us";
            ok = ok && complete;
        } else {
            EXPECT_FALSE(hadOldOne) << "the finished movie was lost; run " << run;
            ok = ok && !hadOldOne;
        }
        for (const std::string& name : Names(out)) {
            if (name == "result.mp4") continue;
            ++staleTemporaries;
            EXPECT_EQ(name[0], '.') << "a visible leftover: " << name;
        }
        if (ok) ++undamaged;
    }

    ASSERT_EQ(RunToEnd(command), 0);
    EXPECT_TRUE(DecodesCleanly(dest));
    EXPECT_EQ(Names(out), std::vector<std::string>{"result.mp4"}) << "the stale temporary file is still there";
    EXPECT_EQ(ReadBytes(source), original);

    std::cout << "compressions killed: " << interrupted << " of " << runs << ", nothing damaged in " << undamaged
              << ", stale temporary files seen " << staleTemporaries << "\n";
    RecordProperty("killed", interrupted);
    RecordProperty("undamaged", undamaged);
    EXPECT_EQ(undamaged, runs);
}
