// Runs the built program the way users and scripts do.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/CommandLine.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

struct Result {
    int status = -1;
    std::string out, err;
};

// Runs movelark headless with a private runtime folder.
Result RunProgram(const std::string& args, const std::string& environment = "") {
    const fs::path dir = ScratchDir();
    Result result;
    result.out = CaptureCommand("env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=" + Q(dir) + " " + environment + " " +
                                    Q(MovelarkBinary()) + " " + args + " 2>" + Q(dir / "stderr.txt"),
                                &result.status);
    result.err = ReadBytes(dir / "stderr.txt");
    return result;
}

TEST(Program, PrintsItsVersionAndRefusesWhatItDoesNotKnowWithExitTwo) {
    Result r = RunProgram("--version");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::string("Movelark ") + MOVELARK_VERSION + "\n");
    EXPECT_EQ(r.err, "");
    r = RunProgram("--bogus");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("--bogus"), std::string::npos);
}

TEST(Program, MissingMediaLibrariesGiveTheVersionMessageAndExitZero) {
    const std::string versionLine = "Quicktime version 4.1.2 or later is required to run this application.\n";
    for (const char* args : {"--version", ""}) {
        Result r = RunProgram(args, "MOVELARK_SIMULATE_MISSING_MEDIA=1");
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_EQ(r.out, "") << args;
        ASSERT_EQ(r.err.substr(0, versionLine.size()), versionLine) << r.err;
        const std::string second = r.err.substr(versionLine.size());
        EXPECT_NE(second.find("FFmpeg"), std::string::npos) << second;
        EXPECT_EQ(std::count(second.begin(), second.end(), '\n'), 1) << second;
    }
}

TEST(Program, EveryCommandHasItsHelpAndAWindowNeedsADisplay) {
    for (const auto& command : Subcommands()) {
        const std::string name = command.name;
        if (!command.handler || name == "BATCH") continue;
        Result r = RunProgram(name + " --help");
        EXPECT_EQ(r.status, 0) << name << r.err;
        EXPECT_EQ(r.out.rfind("Usage: movelark " + name, 0), 0u) << r.out;
    }
    Result r = RunProgram("");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("no display"), std::string::npos) << r.err;
}

}  // namespace
