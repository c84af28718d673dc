#include "app/Startup.h"

#include <gtest/gtest.h>

#include <fstream>

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

TEST(StartupOrder, FileOnTheCommandLineBecomesTheStartupFile) {
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

TEST(StartupOrder, TailThatIsNoFileLeavesNoStartupFile) {
    for (std::string tail : {std::string(), std::string("/no/such/folder/x.mov"), "/" + std::string(300, 'x')}) {
        RecordingHooks hooks;
        EXPECT_EQ(RunWith(hooks, tail.empty() ? std::vector<std::string>{} : std::vector<std::string>{tail}), 0);
        EXPECT_EQ(hooks.calls,
                  Concat({kStartup, {"CreateApplication", "HandleCommandLine", "RunEventLoop"}, kShutdown}))
            << tail;
        EXPECT_FALSE(hooks.startupFile.IsSet());
    }
}

TEST(StartupOrder, HandedOverCommandLineSkipsTheEventLoop) {
    RecordingHooks hooks;
    hooks.batchHandled = true;
    EXPECT_EQ(RunWith(hooks, {"/x.mov"}), 0);
    EXPECT_EQ(hooks.calls, Concat({kStartup, {"CreateApplication", "HandleCommandLine"}, kShutdown}));
}

TEST(StartupOrder, MissingMediaLibrariesShowOnlyTheVersionMessage) {
    for (bool display : {false, true}) {
        RecordingHooks hooks;
        hooks.display = display;
        hooks.mediaResult = -2093;
        EXPECT_EQ(RunWith(hooks, {}), 0);
        EXPECT_EQ(hooks.calls, (Calls{"PrepareWindowSystem", "InitializeMedia", "ShowStartupMessage"}));
        EXPECT_EQ(hooks.messageText,
                  "Quicktime version 4.1.2 or later is required to run this application.\n" + hooks.mediaProblem);
        EXPECT_EQ(hooks.messageCaption, "");
        EXPECT_EQ(hooks.messageOnTerminal, !display);
    }
    // Without a reason from the layer the second line still says what is wrong.
    RecordingHooks hooks;
    hooks.mediaResult = -2094;
    hooks.mediaProblem.clear();
    RunWith(hooks, {});
    EXPECT_NE(hooks.messageText.find("\n"), std::string::npos);
    EXPECT_NE(hooks.messageText.find("-2094"), std::string::npos);
}

TEST(StartupOrder, MovieServicesFailingEndsWithoutUndoing) {
    RecordingHooks hooks;
    hooks.enterResult = -2095;
    EXPECT_EQ(RunWith(hooks, {}), 0);
    EXPECT_EQ(hooks.calls, (Calls{"PrepareWindowSystem", "InitializeMedia", "EnterMovies", "ShowStartupMessage"}));
    EXPECT_EQ(hooks.messageText.substr(0, hooks.messageText.find('\n')),
              "Quicktime version 4.1.2 or later is required to run this application.");
}

TEST(StartupOrder, ResourceFileThatCannotBeOpened) {
    RecordingHooks hooks;
    hooks.display = true;
    hooks.resourceRef = -1;
    EXPECT_EQ(RunWith(hooks, {}), 0);
    EXPECT_EQ(hooks.calls, (Calls{"PrepareWindowSystem", "InitializeMedia", "EnterMovies", "ExecutablePath",
                                  "OpenResourceFile", "ShowStartupMessage"}));
    EXPECT_EQ(hooks.messageText, "Unable to load resource file");
    EXPECT_EQ(hooks.messageCaption, "Error");
    EXPECT_FALSE(hooks.messageOnTerminal);
}

TEST(StartupOrder, NoExecutablePathMeansNoResourceFile) {
    RecordingHooks hooks;
    hooks.executable.reset();
    EXPECT_EQ(RunWith(hooks, {}), 0);
    hooks.loopRuns = false;  // no display to run the loop on
    EXPECT_EQ(RunWith(hooks, {}), 1);
    hooks.calls.resize(hooks.calls.size() / 2);
    Calls expected = Concat({kStartup, {"CreateApplication", "HandleCommandLine", "RunEventLoop"}, kShutdown});
    std::erase(expected, "OpenResourceFile");
    std::erase(expected, "CloseResourceFile");
    EXPECT_EQ(hooks.calls, expected);
}

TEST(StartupOrder, VersionRunsTheSequenceWithoutWindows) {
    RecordingHooks hooks;
    hooks.display = true;
    testing::internal::CaptureStdout();
    EXPECT_EQ(RunWith(hooks, {"--version"}), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("Movelark ") + MOVELARK_VERSION + "\n");
    Calls expected = Concat({kStartup, kShutdown});
    std::erase(expected, "DestroyApplication");
    EXPECT_EQ(hooks.calls, expected);
    EXPECT_FALSE(hooks.windowSystem);

    RecordingHooks failing;
    failing.display = true;
    failing.mediaResult = -2093;
    EXPECT_EQ(RunWith(failing, {"--version"}), 0);
    EXPECT_TRUE(failing.messageOnTerminal);
}

TEST(StartupOrder, RefusedCommandLineTouchesNothing) {
    RecordingHooks hooks;
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunWith(hooks, {"--no-such-option"}), 2);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(hooks.calls.empty());
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

}  // namespace
