#include "app/Startup.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "app/CommandLine.h"
#include "support/TestSupport.h"

namespace {

using Calls = std::vector<std::string>;

// Records the order of the platform steps and fails the ones a test asks for.
class RecordingHooks : public StartupHooks {
public:
    bool display = false;
    OSErr mediaResult = noErr;
    std::string mediaProblem = "libavcodec 61.1.100 is installed, but this program needs version 59.";
    OSErr enterResult = noErr;
    std::optional<std::string> executable = "/usr/bin/movelark";
    int16_t resourceRef = 5;
    bool batchHandled = false;
    bool loopRuns = true;

    Calls calls;
    bool windowSystem = false;
    std::string messageText, messageCaption;
    bool messageOnTerminal = false;
    std::string commandTail;
    FSSpec startupFile;
    int16_t closedRef = 0;

    bool HasDisplay() override { return display; }
    void PrepareWindowSystem(bool withWindows) override { windowSystem = Record("PrepareWindowSystem", withWindows); }
    void ShowStartupMessage(const std::string& text, const std::string& caption, bool onTerminal) override {
        messageText = text;
        messageCaption = caption;
        messageOnTerminal = onTerminal;
        calls.push_back("ShowStartupMessage");
    }
    OSErr InitializeMedia() override { return Record("InitializeMedia", mediaResult); }
    std::string MediaProblem() override { return mediaProblem; }
    OSErr EnterMovies() override { return Record("EnterMovies", enterResult); }
    std::optional<std::string> ExecutablePath() override { return Record("ExecutablePath", executable); }
    int16_t OpenResourceFile(const FSSpec&) override { return Record("OpenResourceFile", resourceRef); }
    void InitializeDragAndDrop() override { calls.push_back("InitializeDragAndDrop"); }
    void CreateWindowAndDocumentLists() override { calls.push_back("CreateWindowAndDocumentLists"); }
    void LoadSharedStrings() override { calls.push_back("LoadSharedStrings"); }
    void RegisterFileKinds() override { calls.push_back("RegisterFileKinds"); }
    void InstallAppearance() override { calls.push_back("InstallAppearance"); }
    void CreateApplication() override { calls.push_back("CreateApplication"); }
    bool HandleCommandLine(const std::string& tail) override {
        commandTail = tail;
        return Record("HandleCommandLine", batchHandled);
    }
    void SetStartupFile(const FSSpec& file) override { startupFile = Record("SetStartupFile", file); }
    bool RunEventLoop() override { return Record("RunEventLoop", loopRuns); }
    void ReleaseSharedStrings() override { calls.push_back("ReleaseSharedStrings"); }
    void DestroyApplication() override { calls.push_back("DestroyApplication"); }
    void ExitMovies() override { calls.push_back("ExitMovies"); }
    void CloseResourceFile(int16_t ref) override { closedRef = Record("CloseResourceFile", ref); }
    void TerminateMedia() override { calls.push_back("TerminateMedia"); }
    void UninitializeDragAndDrop() override { calls.push_back("UninitializeDragAndDrop"); }
    void ReleaseFileKinds() override { calls.push_back("ReleaseFileKinds"); }

private:
    template <typename R>
    R Record(const char* name, R result) {
        calls.push_back(name);
        return result;
    }
};

int RunWith(RecordingHooks& hooks, std::vector<std::string> args) {
    args.insert(args.begin(), "movelark");
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    return RunMovelark(int(args.size()), argv.data(), hooks);
}

const Calls kStartup = {"PrepareWindowSystem", "InitializeMedia", "EnterMovies", "ExecutablePath",
                        "OpenResourceFile", "InitializeDragAndDrop", "CreateWindowAndDocumentLists",
                        "LoadSharedStrings", "RegisterFileKinds", "InstallAppearance"};
const Calls kShutdown = {"ReleaseSharedStrings", "DestroyApplication", "ExitMovies", "CloseResourceFile",
                         "TerminateMedia", "UninitializeDragAndDrop", "ReleaseFileKinds"};

Calls Concat(std::initializer_list<Calls> parts) {
    Calls all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(Startup, AFileOnTheCommandLineBecomesTheStartupFile) {
    auto dir = testsupport::ScratchDir();
    auto movie = dir / "my clip.mov";
    std::ofstream(movie) << "x";
    RecordingHooks hooks;
    hooks.display = true;
    EXPECT_EQ(RunWith(hooks, {movie.string()}), 0);
    EXPECT_EQ(hooks.calls, Concat({kStartup,
                                   {"CreateApplication", "HandleCommandLine", "SetStartupFile", "RunEventLoop"},
                                   kShutdown}));
    EXPECT_TRUE(hooks.windowSystem);
    EXPECT_EQ(hooks.commandTail, movie.string());
    EXPECT_EQ(hooks.startupFile.Path(), movie.string());
    EXPECT_EQ(hooks.closedRef, 5);
}

const Calls kRun = Concat({kStartup, {"CreateApplication", "HandleCommandLine", "RunEventLoop"}, kShutdown});
const std::string kVersionLine = "Quicktime version 4.1.2 or later is required to run this application.\n";

Calls Without(Calls calls, std::initializer_list<const char*> steps) {
    for (const char* step : steps) std::erase(calls, step);
    return calls;
}

// What the platform answers (set on the hooks) and the arguments; the exit
// status, the steps in order, and the start-up message with its caption
// and whether it went to the terminal.
struct StartupCase {
    const char* name;
    std::function<void(RecordingHooks&)> platform;
    std::vector<std::string> args;
    int status;
    Calls calls;
    std::string message = "", caption = "";
    bool onTerminal = false;
};

void PrintTo(const StartupCase& c, std::ostream* out) { *out << c.name; }

class StartupOrder : public ::testing::TestWithParam<StartupCase> {};

TEST_P(StartupOrder, TakesItsStepsInOrderAndSaysWhatStoppedIt) {
    const StartupCase& c = GetParam();
    RecordingHooks hooks;
    if (c.platform) c.platform(hooks);
    testing::internal::CaptureStdout();
    EXPECT_EQ(RunWith(hooks, c.args), c.status);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(hooks.calls, c.calls);
    EXPECT_EQ(hooks.messageText, c.message);
    EXPECT_EQ(hooks.messageCaption, c.caption);
    EXPECT_EQ(hooks.messageOnTerminal, c.onTerminal);
    EXPECT_FALSE(hooks.startupFile.IsSet()) << "no file named";
    if (c.args == std::vector<std::string>{"--version"}) {
        EXPECT_FALSE(hooks.windowSystem) << "a version needs no windows";
    }
}

const std::string kProblem = RecordingHooks().mediaProblem;
const auto kNoMediaOnADisplay = [](RecordingHooks& h) { h.display = true; h.mediaResult = -2093; };
const Calls kMediaFailed = {"PrepareWindowSystem", "InitializeMedia", "ShowStartupMessage"};

INSTANTIATE_TEST_SUITE_P(
    Startup, StartupOrder,
    ::testing::Values(
        StartupCase{"NoArguments", nullptr, {}, 0, kRun},
        StartupCase{"AMissingFile", nullptr, {"/no/such/folder/x.mov"}, 0, kRun},
        StartupCase{"AHandedOverCommandLineSkipsTheEventLoop", [](RecordingHooks& h) { h.batchHandled = true; },
                    {"/x.mov"}, 0, Concat({kStartup, {"CreateApplication", "HandleCommandLine"}, kShutdown})},
        // The media libraries missing: the version message alone, in a box
        // when there is a display.
        StartupCase{"MissingMediaLibrariesOnADisplay", kNoMediaOnADisplay, {}, 0, kMediaFailed,
                    kVersionLine + kProblem, "", false},
        StartupCase{"NoExecutablePathMeansNoResourceFile", [](RecordingHooks& h) { h.executable.reset(); }, {}, 0,
                    Without(kRun, {"OpenResourceFile", "CloseResourceFile"})},
        StartupCase{"VersionRunsWithoutWindows", [](RecordingHooks& h) { h.display = true; }, {"--version"}, 0,
                    Without(Concat({kStartup, kShutdown}), {"DestroyApplication"})},
        StartupCase{"VersionWithoutMediaLibrariesSaysSoOnTheTerminal", kNoMediaOnADisplay, {"--version"}, 0,
                    kMediaFailed, kVersionLine + kProblem, "", true},
        StartupCase{"ARefusedCommandLineTouchesNothing", nullptr, {"--no-such-option"}, 2, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
