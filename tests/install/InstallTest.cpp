// The program installed into a staging folder the way a package would:
// everything a desktop looks for is there and passes the desktop's own
// validators, and the installed program finds its presets by name in an
// empty data folder without ever writing beside itself.
#include <gtest/gtest.h>

#include "resources/StringLists.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

bool Have(const char* tool) { return RunCommand(std::string("command -v ") + tool + " >/dev/null") == 0; }

TEST(Install, EverythingInPlaceValidAndNothingWrittenBesideTheProgram) {
    const fs::path root = ScratchDir() / "root";
    ASSERT_EQ(RunCommand("DESTDIR=" + Q(root) + " " + Q(CMAKE_COMMAND) + " --install " + Q(MOVELARK_BUILD_DIR) +
                         " --prefix /usr >/dev/null"), 0);
    const fs::path usr = root / "usr";
    const std::string id = "org.quenwick.Movelark";
    for (const std::string& file : {std::string("bin/movelark"), "share/applications/" + id + ".desktop",
                                   "share/icons/hicolor/scalable/apps/" + id + ".svg", "share/metainfo/" + id + ".metainfo.xml",
                                   std::string("share/man/man1/movelark.1"), std::string("share/doc/movelark/manual.html"),
                                   std::string("share/movelark/Presets/H.264 Web.QTcd"), std::string("share/movelark/Filters/Blur.QTfx")})
        EXPECT_TRUE(fs::exists(usr / file)) << file;
    if (Have("desktop-file-validate")) {
        EXPECT_EQ(RunCommand("desktop-file-validate " + Q(usr / "share/applications" / (id + ".desktop"))), 0);
    }
    if (Have("appstreamcli")) {
        EXPECT_EQ(RunCommand("appstreamcli validate --no-net " + Q(usr / "share/metainfo" / (id + ".metainfo.xml")) + " >/dev/null"), 0);
    }

    // The Help menu's pages of the manual are there, down to the section.
    for (const auto& [list, item] : {std::pair{2000, 3}, {2000, 4}, {1001, 12}}) {
        const std::string page = GetIndString(int16_t(list), int16_t(item));
        const size_t hash = page.find('#');
        const std::string html = ReadBytes(usr / "share/doc/movelark" / page.substr(0, hash));
        EXPECT_FALSE(html.empty()) << page;
        if (hash != std::string::npos) {
            EXPECT_NE(html.find("id=\"" + page.substr(hash + 1) + "\""), std::string::npos) << page;
        }
    }

    // Presets by name on first use, from an empty data folder.
    const fs::path data = ScratchDir() / "data";
    const fs::path out = ScratchDir() / "out.mp4";
    const fs::path source = SmallMovie();
    const std::string run = "env XDG_DATA_HOME=" + Q(data) + " QT_QPA_PLATFORM=offscreen " + Q(usr / "bin/movelark");
    int status = -1;
    EXPECT_NE(CaptureCommand(run + " presets", &status).find("H.264 Web"), std::string::npos);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(RunCommand(run + " compress " + Q(source) + " -o " + Q(out) +
                         " --video-preset 'H.264 Web' --audio-preset 'opus 96 kbps' --quiet"), 0);
    EXPECT_EQ(Probe(out, "-show_entries stream=codec_name"), "h264\nopus");
    EXPECT_TRUE(fs::exists(data / "Movelark/Presets/HEVC.QTcd"));
    EXPECT_EQ(std::distance(fs::directory_iterator(usr / "bin"), fs::directory_iterator()), 1);
}

}  // namespace
