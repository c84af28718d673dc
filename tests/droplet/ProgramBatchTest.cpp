// The whole hand-over: a droplet written by the program's own code, run with
// sh, starting the built movelark program without a display.
#include <gtest/gtest.h>

#include "DropletTestSupport.h"
#include "app/DropletFile.h"
#include "model/DescriptionTime.h"
#include "platform/media/AtomContainer.h"
#include "resources/StringLists.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;
using droplettest::ReadBytes;
using droplettest::WriteBytes;
using testsupport::ShellQuote;

namespace {

// One Motion-JPEG segment over the first second.
std::unique_ptr<Handle> JpegSegment() {
    AtomContainer c;
    QTAtomNode& video = c.InsertParent(FourCC("vide"), 1);
    const uint8_t spatial[14] = {'j', 'p', 'e', 'g', 0, 0, 0, 0, 0, 24, 0, 0, 0x02, 0x00};
    video.InsertChild(FourCC("sptl"), 1, spatial, sizeof spatial);
    const uint8_t temporal[12] = {};
    video.InsertChild(FourCC("tprl"), 1, temporal, sizeof temporal);
    auto segment = std::make_unique<Handle>(c.ToHandle());
    SetDescriptionTime(segment.get(), STimeValue{0, 600}, STimeValue{600, 600});
    return segment;
}

Handle RotatingJpegSettings() {
    droplettest::BatchLog scratch;
    droplettest::PretendMovieModel model(&scratch);
    model.Load();
    model.SetRotation(90);
    model.VideoSegments().Append(JpegSegment());
    return model.WriteSettings();
}

std::string Named(const std::string& name) {
    std::string text = GetIndString(1100, 1);
    return text.replace(text.find("^0"), 2, name);
}

}  // namespace

TEST(DropletProgram, DroppedFilesAreCompressedOrNamedOnStandardError) {
    fs::path dir = testsupport::ScratchDir();
    fs::path droplets = dir / "Dr\xC3\xB6plets \"mine\"";
    fs::path in = dir / "In it's";
    fs::path config = dir / "config" / "Quenwick";
    for (const auto& folder : {droplets, in, config, dir / "home"}) fs::create_directories(folder);
    fs::path droplet = droplets / "Web Clips.exe";
    ASSERT_TRUE(WriteDropletFile(droplet.string(), RotatingJpegSettings()));
    WriteBytes(config / "Movelark.conf", "Path=" + testsupport::MovelarkBinary().parent_path().string() + "\n");

    fs::path movie = testsupport::FixtureMovie(
        "droplet_clip.mov", "-f lavfi -i testsrc=size=64x48:rate=10:duration=1 -c:v mjpeg -q:v 5");
    fs::copy_file(movie, in / "clip one.mov");
    WriteBytes(in / "notes \"x\".txt", "this is not a movie");

    std::string command = "cd " + ShellQuote(in.string()) +
                          " && env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen" +
                          " XDG_RUNTIME_DIR=" + ShellQuote(dir.string()) +
                          " XDG_CONFIG_HOME=" + ShellQuote((dir / "config").string()) +
                          " HOME=" + ShellQuote((dir / "home").string()) + " PATH=/usr/bin:/bin sh " +
                          ShellQuote(droplet.string()) + " 'notes \"x\".txt' 'clip one.mov' gone.avi 2>" +
                          ShellQuote((dir / "stderr.txt").string()) + " </dev/null";
    EXPECT_EQ(testsupport::RunCommand(command), 0);
    const std::string err = ReadBytes(dir / "stderr.txt");

    EXPECT_NE(err.find(Named("notes \"x\"")), std::string::npos) << err;
    EXPECT_NE(err.find(Named("gone")), std::string::npos) << err;
    EXPECT_EQ(err.find(Named("clip one")), std::string::npos) << err;
    EXPECT_LT(err.find(Named("notes \"x\"")), err.find(Named("gone"))) << "files are taken in dropped order";
    EXPECT_FALSE(fs::exists(droplets / "Droplet.ini"));
    EXPECT_TRUE(fs::is_directory(in / "Web Clips Output"));
    EXPECT_TRUE(fs::exists(droplet));

    fs::path output = in / "Web Clips Output" / "clip one.mov";
    ASSERT_TRUE(fs::exists(output)) << err;
    EXPECT_EQ(testsupport::Probe(output, "-select_streams v:0 -show_entries stream=codec_type"), "video");
    EXPECT_EQ(testsupport::Probe(output, "-count_frames -select_streams v:0 -show_entries stream=nb_read_frames"),
              "10");
}

TEST(DropletProgram, ADropletWithoutSettingsRunsNothingAndKeepsTheHandover) {
    fs::path dir = testsupport::ScratchDir();
    auto image = LoadLauncherImage();
    ASSERT_TRUE(image);
    fs::path droplet = dir / "bare";
    WriteBytes(droplet, std::string(image->begin(), image->end()));
    WriteBytes(dir / "Droplet.ini", "[FileSection]\nFilename0=" + (dir / "a.mov").string() + "\n");
    WriteBytes(dir / "a.mov", "not a movie");
    // The one-argument form a script may use.
    std::string tail = "BATCH \"" + droplet.string() + "\" \"" + (dir / "Droplet.ini").string() + "\"";
    std::string err = testsupport::CaptureCommand(
        "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=" + ShellQuote(dir.string()) +
        " " + ShellQuote(testsupport::MovelarkBinary().string()) + " " + ShellQuote(tail) + " 2>&1");
    EXPECT_EQ(err.find("movelark"), std::string::npos) << err;
    EXPECT_TRUE(fs::exists(dir / "Droplet.ini"));
    EXPECT_FALSE(fs::exists(dir / "bare Output"));
}
