// Output files under stress, through the real program: runs side by side in
// one folder with links planted where temporary files could go, destinations
// that are not files, and stop signals at random moments in every mode.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "HostileFiles.h"
#include "platform/media/encode/VideoSettings.h"

using namespace hostile;
using Clock = std::chrono::steady_clock;

namespace {

std::vector<std::string> Compress(const fs::path& source, const fs::path& dest, bool quiet = true) {
    std::vector<std::string> args = {MovelarkBinary().string(), "compress", source.string(), "-o", dest.string()};
    if (quiet) args.push_back("--quiet");
    return args;
}

}  // namespace

TEST(OutputSafety, SixRunsIntoOneFolderAllSucceedAndNoPlantedLinkIsFollowed) {
    const fs::path dir = ScratchDir(), out = dir / "shared", victim = dir / "victim.txt";
    fs::create_directories(out);
    WriteBytes(victim, "precious");
    // Links at the old fixed name and at names of the kind runs now pick,
    // to a file and to nothing (a run that followed one would create it).
    std::vector<std::string> expected = {".movelark-compressing.mov"};
    for (char c = 'a'; c < 'q'; ++c) expected.push_back(".movelark-compressing-" + std::string(12, c) + ".mov");
    for (size_t i = 0; i < expected.size(); ++i) fs::create_symlink(i % 2 ? dir / "ghost" : victim, out / expected[i]);
    std::vector<pid_t> runs;
    for (int n = 0; n < 6; ++n) {
        expected.push_back("result" + std::to_string(n) + (n % 2 ? ".mov" : ".mp4"));
        runs.push_back(Spawn(Compress(SmallMovie(), out / expected.back())));
    }
    for (pid_t pid : runs) EXPECT_EQ(WaitFor(pid), 0);
    for (size_t i = expected.size() - 6; i < expected.size(); ++i)
        EXPECT_TRUE(WholeMovie(out / expected[i], DurationSeconds(SmallMovie(), "v:0"))) << expected[i];
    EXPECT_EQ(ReadBytes(victim), "precious");
    EXPECT_FALSE(fs::exists(dir / "ghost"));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FileNames(out), expected) << "a link was removed, or a temporary file was left";
}

// Destinations that are not files are refused with one line and left as
// they were (a folder is where the command line puts its output); a link to
// a file replaces that file and stays a link.
struct OddDestination {
    const char* name;
    bool (*make)(const fs::path& at);
    const char* refusal;  // null: the run succeeds
};
void PrintTo(const OddDestination& d, std::ostream* os) { *os << d.name; }

class OddDestinations : public ::testing::TestWithParam<OddDestination> {};

TEST_P(OddDestinations, AreRefusedBeforeAnyWorkAndLeftAlone) {
    const fs::path dir = ScratchDir();
    const fs::path here = fs::current_path();
    fs::current_path(dir);  // the links made are relative
    const bool made = GetParam().make("dest");
    fs::current_path(here);
    if (!made) GTEST_SKIP() << "cannot make a " << GetParam().name << " here";
    struct stat before {}, after {};
    ASSERT_EQ(lstat((dir / "dest").c_str(), &before), 0);
    const std::vector<std::string> names = FileNames(dir);

    std::string output;
    const int status = Movelark("compress " + Q(SmallMovie()) + " -o " + Q(dir / "dest") + " --quiet", &output);
    ASSERT_EQ(lstat((dir / "dest").c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT) << "the destination changed kind";
    EXPECT_EQ(FileNames(dir), names) << "a file was left or removed";
    if (!GetParam().refusal) {
        EXPECT_EQ(status, 0) << output;
        EXPECT_TRUE(WholeMovie(dir / "target.mov", DurationSeconds(SmallMovie(), "v:0")));
        return;
    }
    EXPECT_EQ(status, 1) << output;
    EXPECT_EQ(LineCount(output), 1) << output;
    EXPECT_NE(output.find(GetParam().refusal), std::string::npos) << output;
}

INSTANTIATE_TEST_SUITE_P(
    OutputSafety, OddDestinations,
    ::testing::Values(
        OddDestination{"fifo", [](const fs::path& at) { return mkfifo(at.c_str(), 0644) == 0; }, "named pipe"},
        OddDestination{"device", [](const fs::path& at) { return mknod(at.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; },
                       "device"},
        OddDestination{"dangling_link", [](const fs::path& at) { fs::create_symlink("nothing.mov", at); return true; },
                       "does not exist"},
        OddDestination{"link_to_a_movie",
                       [](const fs::path& at) {
                           WriteBytes("target.mov", "an older movie");
                           fs::create_symlink("target.mov", at);
                           return true;
                       },
                       nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// SIGINT, SIGTERM and SIGHUP at random moments: the run stops cleanly (no
// temporary file left, an older destination kept byte for byte, status
// 128 + signal, no "Wrote"), or it had finished and the movie is whole. A
// signal ignored from the start changes nothing.
struct StopCase {
    const char* mode;  // "terminal", "quiet" or "batch"
    int signal;
    bool olderDestination;
    bool ignoredAtStart = false;
};
void PrintTo(const StopCase& c, std::ostream* os) {
    *os << c.mode << "_" << sigabbrev_np(c.signal) << (c.olderDestination ? "_over_an_older_one" : "")
        << (c.ignoredAtStart ? "_ignored" : "");
}

class StopSignalRuns : public ::testing::TestWithParam<StopCase> {};

TEST_P(StopSignalRuns, EndCleanlyWithTheSignalsStatus) {
    const StopCase c = GetParam();
    const fs::path dir = ScratchDir(), in = dir / "in", source = in / "clip.mov";
    fs::create_directories(in);
    // Long enough (4 s, 320 x 240, with sound) for signals to land mid-run.
    fs::copy_file(FixtureMovie("safety-source.mov", "-f lavfi -i testsrc=s=320x240:r=25:d=4 -f lavfi "
                                            "-i sine=r=44100:d=4 -c:v mjpeg -q:v 5 -c:a pcm_s16le"), source);
    const std::string older = ReadBytes(SmallMovie()), original = ReadBytes(source);  // the older one is shorter
    const bool batch = std::string(c.mode) == "batch";
    const fs::path droplet = dir / "Clip.droplet", handover = dir / "Droplet.ini";
    const fs::path out = batch ? in / "Clip Output" : dir / "out", dest = out / "clip.mov";
    fs::create_directories(out);
    const std::string segment = Bytes(MakeVideoSettings(FourCC("avc1"), 0x200));  // one video segment, H.264
    const std::string record =
        RecordBytes().U32(0).U32(1).U32(uint32_t(segment.size())).Raw(segment).U32(0).U32(0).Str();
    WriteBytes(droplet, DropletWith(record + LE32(uint32_t(record.size()))));
    const std::vector<std::string> command =
        batch ? std::vector<std::string>{MovelarkBinary().string(), "BATCH", droplet, handover}
              : Compress(source, dest, std::string(c.mode) == "quiet");

    std::chrono::microseconds whole{0};  // the first run goes uninterrupted and sets the span of the moments
    std::mt19937 random = KillRandom();
    for (int run = 0; run < 4; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        fs::remove(dest);
        if (c.olderDestination) WriteBytes(dest, older);
        if (batch) WriteBytes(handover, "[FileSection]\nFilename0=" + source.string() + "\n");
        const auto started = Clock::now();
        const pid_t pid = Spawn(command, dir / "stderr.txt", c.ignoredAtStart ? c.signal : 0);
        int status = -1;
        bool sent = false;
        if (run == 0) {
            status = WaitFor(pid);
            whole = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started);
        } else {
            const auto delay = std::uniform_int_distribution<long>(0, whole.count() * 11 / 10)(random);
            sent = SignalAfter(pid, std::chrono::microseconds(delay), c.signal, &status);
        }
        const std::string err = ReadBytes(dir / "stderr.txt");
        const bool replaced = fs::exists(dest) && ReadBytes(dest) != older;
        EXPECT_TRUE(replaced ? WholeMovie(dest, 4) : fs::exists(dest) == c.olderDestination)
            << "a damaged movie, or the older one is gone: " << err;
        EXPECT_TRUE(replaced || err.find("Wrote ") == std::string::npos) << err;
        EXPECT_TRUE(status == 0 ? replaced : sent && status == 128 + c.signal && !c.ignoredAtStart)
            << "status " << status << ": " << err;
        EXPECT_EQ(FileNames(out), std::vector<std::string>(fs::exists(dest), "clip.mov"))
            << "a temporary file was left";
        EXPECT_EQ(ReadBytes(source), original);
    }
}

INSTANTIATE_TEST_SUITE_P(OutputSafety, StopSignalRuns,
                         ::testing::Values(StopCase{"terminal", SIGINT, true}, StopCase{"terminal", SIGTERM, false},
                                           StopCase{"terminal", SIGHUP, true}, StopCase{"quiet", SIGINT, true},
                                           StopCase{"quiet", SIGTERM, true}, StopCase{"quiet", SIGHUP, false},
                                           StopCase{"batch", SIGTERM, true}, StopCase{"batch", SIGHUP, true},
                                           StopCase{"batch", SIGINT, false}, StopCase{"quiet", SIGINT, true, true}),
                         [](const auto& info) { return ::testing::PrintToString(info.param); });
