// The whole hand-over: a droplet written by the program's own code, run with
// sh, starting the built movelark program without a display.
#include <gtest/gtest.h>

#include "DropletTestSupport.h"
#include "platform/files/DropletDesktopEntry.h"
#include "platform/files/DropletFile.h"
#include "support/PretendDocModel.h"

namespace fs = std::filesystem;
using droplettest::Named;
using testsupport::ReadBytes;
using testsupport::ShellQuote;
using testsupport::WriteBytes;

namespace {

// Motion JPEG over the first second, the picture turned a quarter.
Handle RotatingJpegSettings() {
    droplettest::BatchLog scratch;
    droplettest::PretendMovieModel model(&scratch);
    model.Load();
    model.SetRotation(90);
    model.LayVideoSegments(docsupport::MakeSegments({{0, 600}}, FourCC("jpeg")));
    return model.WriteSettings();
}

// A droplet in a folder with an awkward name, the program recorded for it,
// and a folder of dropped files.
struct DropScene {
    fs::path dir = testsupport::ScratchDir();
    fs::path droplets = dir / "Dr\xC3\xB6plets \"mine\"";
    fs::path in = dir / "In it's";
    fs::path droplet = droplets / "Web Clips.exe";

    DropScene() {
        const fs::path config = dir / "config" / "Quenwick";
        for (const auto& folder : {droplets, in, config, dir / "home"}) fs::create_directories(folder);
        EXPECT_TRUE(WriteDropletFile(droplet.string(), RotatingJpegSettings()));
        WriteBytes(config / "Movelark.conf", "Path=" + testsupport::MovelarkBinary().parent_path().string() + "\n");
    }
    // The shell command that drops `files` (quoted already) on the droplet,
    // or runs `launch` in its place.
    std::string Drop(const std::string& files, const std::string& errors, const std::string& launch = "") const {
        return "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=" +
               ShellQuote(dir.string()) + " XDG_CONFIG_HOME=" + ShellQuote((dir / "config").string()) +
               " HOME=" + ShellQuote((dir / "home").string()) + " PATH=/usr/bin:/bin " +
               (launch.empty() ? "sh " + ShellQuote(droplet.string()) + " " + files : launch) + " 2>" +
               ShellQuote((dir / errors).string()) + " </dev/null";
    }
    bool Compressed(const std::string& name) const {
        const fs::path output = in / "Web Clips Output" / name;
        return testsupport::Probe(output, "-count_frames -select_streams v:0 -show_entries stream=nb_read_frames") ==
               "10";
    }
};

}  // namespace

TEST(DropletProgram, DroppedFilesAreCompressedOrNamedAndListedAtTheEnd) {
    DropScene scene;
    fs::copy_file(testsupport::SmallMovie(), scene.in / "clip one.mov");
    WriteBytes(scene.in / "notes \"x\".txt", "this is not a movie");
    const std::string clip = ReadBytes(testsupport::SmallMovie());
    WriteBytes(scene.in / "cut.mov", clip.substr(0, clip.size() / 2));  // its movie resource is gone

    EXPECT_EQ(testsupport::RunCommand("cd " + ShellQuote(scene.in.string()) + " && " +
                                      scene.Drop("'notes \"x\".txt' 'clip one.mov' gone.avi cut.mov", "stderr.txt")),
              1);
    const std::string err = ReadBytes(scene.dir / "stderr.txt");
    for (const std::string name : {"notes \"x\"", "gone", "cut"}) EXPECT_NE(err.find(Named(name)), std::string::npos) << err;
    EXPECT_EQ(err.find(Named("clip one")), std::string::npos) << err;
    EXPECT_LT(err.find(Named("notes \"x\"")), err.find(Named("gone"))) << "files are taken in dropped order";
    // One summary, a line per file left out.
    std::string summary = GetIndString(1100, 40);
    summary.replace(summary.find("^0"), 2, "3");
    EXPECT_NE(err.find(summary + "\n  notes \"x\".txt: "), std::string::npos) << err;
    EXPECT_NE(err.find("\n  gone.avi: "), std::string::npos) << err;
    EXPECT_NE(err.find("\n  cut.mov: "), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(scene.droplets / "Droplet.ini"));
    EXPECT_TRUE(fs::exists(scene.droplet));
    EXPECT_TRUE(scene.Compressed("clip one.mov")) << err;
}

// What a file manager does with movies dropped on the launcher beside the
// droplet: its Exec line with %F made the files. The program is found
// where it is installed, without any configuration.
TEST(DropletProgram, TheDesktopEntryBesideTheDropletRunsIt) {
    DropScene scene;
    fs::remove_all(scene.dir / "config");
    fs::create_directories(scene.dir / "home/.local/bin");
    fs::create_symlink(testsupport::MovelarkBinary(), scene.dir / "home/.local/bin/movelark");
    ASSERT_TRUE(WriteDropletDesktopEntry(scene.droplet.string()));
    const fs::path entry = scene.droplets / "Web Clips.desktop";
    if (testsupport::RunCommand("command -v desktop-file-validate >/dev/null") == 0) {
        EXPECT_EQ(testsupport::RunCommand("desktop-file-validate " + ShellQuote(entry.string())), 0);
    }
    const std::string text = ReadBytes(entry);
    std::string exec = text.substr(text.find("\nExec=") + 6);
    exec = exec.substr(0, exec.find('\n'));
    for (size_t at = 0; (at = exec.find("\\\\", at)) != std::string::npos; ++at) exec.erase(at, 1);  // the value's own escapes
    exec.replace(exec.find("%F"), 2, ShellQuote((scene.in / "clip one.mov").string()));
    fs::copy_file(testsupport::SmallMovie(), scene.in / "clip one.mov");
    EXPECT_EQ(testsupport::RunCommand(scene.Drop("", "stderr.txt", exec)), 0) << ReadBytes(scene.dir / "stderr.txt");
    EXPECT_TRUE(scene.Compressed("clip one.mov"));

    // Started with nothing and no terminal to write on, it says so in a dialog.
    fs::create_directories(scene.dir / "bin");
    WriteBytes(scene.dir / "bin/zenity", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$HOME/dialog.txt\"\n");
    fs::permissions(scene.dir / "bin/zenity", fs::perms::owner_all);
    testsupport::RunCommand("DISPLAY=:9 PATH=" + ShellQuote((scene.dir / "bin").string()) + ":/usr/bin:/bin HOME=" +
                            ShellQuote((scene.dir / "home").string()) + " " + ShellQuote(scene.droplet.string()) +
                            " 2>/dev/null </dev/null");
    EXPECT_NE(ReadBytes(scene.dir / "home/dialog.txt").find("Drop movie files"), std::string::npos);
}
