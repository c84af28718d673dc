// The droplet's launcher script, run for real with sh against a stand-in
// "movelark" that records the arguments it was started with.
#include <gtest/gtest.h>

#include "DropletTestSupport.h"
#include "app/IniFile.h"
#include "platform/files/DropletFile.h"

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::ShellQuote;
using testsupport::WriteBytes;

namespace {

struct LaunchResult {
    int status = -1;
    std::string err;
    std::vector<std::string> args;  // what the stand-in program got; empty when it did not run
};

class LauncherScene {
public:
    fs::path dir = testsupport::ScratchDir();
    // A folder name with blanks, quotes and non-ASCII characters.
    fs::path dropletFolder = dir / "My \"Dr\xC3\xB6plets\" it's";
    fs::path droplet = dropletFolder / "Web Clips.exe";
    fs::path handover = dropletFolder / "Droplet.ini";
    fs::path programFolder = dir / "opt" / "movelark bin";
    fs::path config = dir / "config";
    fs::path record = dir / "args.bin";
    std::string shell = "sh";
    std::string extraPath;

    LauncherScene() {
        fs::create_directories(dropletFolder);
        fs::create_directories(programFolder);
        fs::create_directories(dir / "home");
        EXPECT_TRUE(WriteDropletFile(droplet.string(), droplettest::SettingsWithRotation(90)));
        MakeStandIn(programFolder / "movelark");
        RecordProgramFolder(programFolder);
    }

    static void MakeStandIn(const fs::path& program) {
        WriteBytes(program, "#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$MOVELARK_ARGS_RECORD\"\n");
        fs::permissions(program, fs::perms::owner_all);
    }

    void RecordProgramFolder(const fs::path& folder) {
        fs::create_directories(config / "Quenwick");
        WriteBytes(config / "Quenwick" / "Movelark.conf", "[General]\nPath=" + folder.string() + "\n");
    }

    // Runs the droplet from cwd with these arguments; without a display so
    // that no dialog can come up.
    LaunchResult Launch(const std::vector<std::string>& args, const fs::path& cwd, const fs::path& which = {}) {
        fs::remove(record);
        fs::path errFile = dir / "stderr.txt";
        std::string command = "cd " + ShellQuote(cwd.string()) + " && env -u DISPLAY -u WAYLAND_DISPLAY" +
                              " HOME=" + ShellQuote((dir / "home").string()) +
                              " XDG_CONFIG_HOME=" + ShellQuote(config.string()) +
                              " PATH=" + ShellQuote(extraPath + "/usr/bin:/bin") +
                              " MOVELARK_ARGS_RECORD=" + ShellQuote(record.string()) + " " +
                              (shell.empty() ? "" : shell + " ") + ShellQuote((which.empty() ? droplet : which).string());
        for (const auto& arg : args) command += " " + ShellQuote(arg);
        LaunchResult result;
        result.status = testsupport::RunCommand(command + " 2>" + ShellQuote(errFile.string()) + " </dev/null");
        result.err = ReadBytes(errFile);
        if (fs::exists(record)) {
            std::string bytes = ReadBytes(record);
            size_t start = 0;
            for (size_t end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1)
                result.args.push_back(bytes.substr(start, end - start));
        }
        return result;
    }

    std::vector<std::string> HandedOverFiles() const {
        IniFile ini = IniFile::Load(handover.string());
        std::vector<std::string> files;
        for (int n = 0;; ++n) {
            std::string value = ini.GetString("FileSection", "Filename" + std::to_string(n), "", 4096);
            if (value.empty()) return files;
            files.push_back(value);
        }
    }
};

std::vector<std::string> ExpectedLaunch(const LauncherScene& scene) {
    return {"BATCH", scene.droplet.string(), scene.handover.string()};
}

}  // namespace

// Relative names and file URIs are made full; odd names pass unchanged.
TEST(Launcher, HandsFullPathsOverToTheRecordedProgramUnderEveryShell) {
    LauncherScene scene;
    const fs::path in = scene.dir / "In \xE6\x98\xA0\xE7\x94\xBB";
    fs::create_directories(in);
    const std::vector<std::string> odd = {
        (in / "a b.mov").string(),
        (in / "it's \"quoted\" $HOME `x` \\n.mov").string(),
        (in / "  leading and trailing blanks  ").string(),
        (in / "-starts with a dash.mov").string(),
    };
    const std::vector<std::string> relative = {"a.mov", "./b c.mov", "sub/d.mov",
                                               "file:///media/V%C3%ADdeos/x%20y%25.mov", "file://localhost/tmp/z.mov"};
    const std::vector<std::string> full = {(in / "a.mov").string(), (in / "b c.mov").string(),
                                           (in / "sub/d.mov").string(), "/media/V\xC3\xAD" "deos/x y%.mov",
                                           "/tmp/z.mov"};
    for (const std::string shell : {"sh", "bash", ""}) {  // "": run through its own #! line
        SCOPED_TRACE("shell: " + shell);
        scene.shell = shell;
        for (const auto& [dropped, handed] : {std::pair{odd, odd}, {relative, full}}) {
            LaunchResult r = scene.Launch(dropped, in);
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(r.err, "");
            EXPECT_EQ(r.args, ExpectedLaunch(scene));
            EXPECT_EQ(scene.HandedOverFiles(), handed);
            fs::remove(scene.handover);  // as the program does once it has read it
        }
    }
}

// A drop whose hand-over the program has not read yet keeps it; the next
// drop (and the one after) writes one of its own.
TEST(Launcher, AHandoverNotYetReadIsLeftAloneAndEachDropGetsItsOwn) {
    LauncherScene scene;
    const std::string earlier = "[FileSection]\nFilename0=/old/0.mov\n";
    WriteBytes(scene.handover, earlier);
    for (const std::string own : {"Droplet-2.ini", "Droplet-3.ini"}) {
        LaunchResult r = scene.Launch({"/new/" + own}, scene.dir);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.args, (std::vector<std::string>{"BATCH", scene.droplet.string(),
                                                    (scene.dropletFolder / own).string()}));
        EXPECT_EQ(ReadBytes(scene.dropletFolder / own), "[FileSection]\nFilename0=/new/" + own + "\n");
    }
    EXPECT_EQ(ReadBytes(scene.handover), earlier);
}

TEST(Launcher, FallsBackToThePathAndElseSaysWhy) {
    LauncherScene scene;
    // A recorded folder without the program: PATH is next.
    scene.RecordProgramFolder(scene.dir / "nowhere");
    fs::path onPath = scene.dir / "bin";
    fs::create_directories(onPath);
    LauncherScene::MakeStandIn(onPath / "movelark");
    scene.extraPath = onPath.string() + ":";
    LaunchResult r = scene.Launch({"/in/a.mov"}, scene.dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.args, ExpectedLaunch(scene));

    // Neither: no dialog without a display, a reason on standard error.
    scene.extraPath.clear();
    fs::remove(scene.handover);
    r = scene.Launch({"/in/a.mov"}, scene.dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.args.empty());
    EXPECT_NE(r.err.find("Path="), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Movelark.conf"), std::string::npos) << r.err;
}

TEST(Launcher, WithoutFilesSettingsOrSendableNamesNothingStarts) {
    LauncherScene scene;
    LaunchResult r = scene.Launch({}, scene.dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Drop movie files"), std::string::npos) << r.err;
    EXPECT_TRUE(r.args.empty());
    EXPECT_FALSE(fs::exists(scene.handover));

    // A line break (or a carriage return, which reading drops) cannot go
    // into the hand-over file: those names are left out.
    r = scene.Launch({"/in/two\nlines.mov", "/in/fine.mov\r", "/in/mid\rdle.mov", "/in/fine.mov"}, scene.dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("line break"), std::string::npos);
    EXPECT_EQ(scene.HandedOverFiles(), (std::vector<std::string>{"/in/fine.mov"}));

    // A bare launcher image has no product word in its slot.
    fs::remove(scene.handover);
    const auto image = LoadLauncherImage();
    ASSERT_TRUE(image);
    WriteBytes(scene.droplet, std::string(image->begin(), image->end()));
    r = scene.Launch({"/in/a.mov"}, scene.dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Movelark droplet: This droplet does not have the correct settings information.  Please "
                     "create another droplet.\n");
    EXPECT_TRUE(r.args.empty());
    EXPECT_FALSE(fs::exists(scene.handover));
}

TEST(Launcher, ALinkToTheDropletHandsOverTheDropletItself) {
    LauncherScene scene;
    fs::path desktop = scene.dir / "Desktop";
    fs::create_directories(desktop);
    fs::create_symlink(scene.droplet, desktop / "Clips");
    scene.shell = "";
    LaunchResult r = scene.Launch({"/in/a.mov"}, desktop, desktop / "Clips");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.args, ExpectedLaunch(scene));
    EXPECT_FALSE(fs::exists(desktop / "Droplet.ini"));
}
