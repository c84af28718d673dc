// A timeline built with the mouse, stored in the movie and compressed by
// the program: the span left out is gone and every segment starts on a
// key frame. Also leaves a picture of the timeline beside the output.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <filesystem>
#include <sstream>

#include "catalogs/PresetFile.h"
#include "framework/LPeriodical.h"
#include "framework/gui/DragFlavors.h"
#include "model/CTambleVideoDocModel.h"
#include "model/DescriptionTime.h"
#include "platform/media/encode/VideoSettings.h"
#include "support/TestSupport.h"
#include "timeline/CVideoList.h"

namespace fs = std::filesystem;

namespace {

class Driver {
public:
    explicit Driver(CVideoList* list) : mList(list) {}

    void Drop(const fs::path& preset, int x, int y) {
        SDragItem item;
        item.flavors.push_back({kFlavorVideoCodec, *MakeFileRecord(preset.string())});
        const std::vector<SDragItem> items{item};
        const QPoint at = mList->ImageToFrame(QPoint(x, y));
        mList->HandleDragEnter(items, at);
        mList->HandleDragMove(at);
        mList->HandleDrop(items, at);
        LPeriodical::RunRepeatTasks(EventRecord{});
    }
    void Drag(int fromX, int y, int toX, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        Send(QEvent::MouseButtonPress, fromX, y, mods);
        for (int step = 1; step <= 8; ++step) Send(QEvent::MouseMove, fromX + (toX - fromX) * step / 8, y, mods);
        Send(QEvent::MouseButtonRelease, toX, y, mods);
    }
    void Key(int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(mList, &event);
    }

private:
    void Send(QEvent::Type type, int x, int y, Qt::KeyboardModifiers mods) {
        const QPoint frame = mList->ImageToFrame(QPoint(x, y));
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(frame), QPointF(mList->viewport()->mapToGlobal(frame)), button, buttons, mods);
        QApplication::sendEvent(mList->viewport(), &event);
    }
    CVideoList* mList;
};

fs::path Preset(const fs::path& folder, const std::string& name, int32_t quality) {
    const fs::path path = folder / name;
    FSSpec spec;
    EXPECT_EQ(FSSpec::FromPath(path.string(), spec), noErr);
    EXPECT_TRUE(WritePresetFile(spec, MakeVideoSettings(FourCC("mp4v"), quality)));
    return path;
}

std::vector<double> KeyFrameTimes(const fs::path& movie) {
    const std::string text = testsupport::CaptureCommand(
        "ffprobe -v error -select_streams v:0 -show_entries packet=pts_time,flags -of csv=p=0 " +
        testsupport::ShellQuote(movie.string()));
    std::vector<double> times;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto comma = line.find(',');
        if (comma == std::string::npos || line.find('K', comma) == std::string::npos) continue;
        times.push_back(std::stod(line.substr(0, comma)));
    }
    return times;
}

bool HasKeyFrameNear(const std::vector<double>& times, double t) {
    for (double k : times)
        if (std::abs(k - t) < 0.06) return true;
    return false;
}

TEST(TimelineEndToEnd, MouseBuiltTimelineCompressesWithSpanRemovedAndKeyFramesAtSegments) {
    const fs::path dir = testsupport::ScratchDir();
    const fs::path source = dir / "e2e_source.mov";
    ASSERT_EQ(testsupport::RunCommand(
                  "ffmpeg -y -v error -f lavfi -i testsrc2=size=320x240:rate=10:duration=10 "
                  "-f lavfi -i sine=frequency=440:duration=10 -c:v mpeg4 -q:v 4 -g 100 -c:a aac -shortest " +
                  testsupport::ShellQuote(source.string())),
              0);

    CTambleVideoDocModel model;
    FSSpec spec;
    ASSERT_EQ(FSSpec::FromPath(source.string(), spec), noErr);
    ASSERT_TRUE(model.SetSourceFile(spec));
    QWidget window;
    auto* list = new CVideoList(&window);
    list->setFrameShape(QFrame::NoFrame);
    list->resize(800, 125);
    window.resize(800, 125);
    window.show();
    list->FinishCreate();
    list->Activate();
    list->SetModel(&model);
    ASSERT_EQ(list->GetPixelsPerSecond(), 64);  // 10 s in 640 px

    Driver mouse(list);
    mouse.Drop(Preset(dir, "Medium.QTcd", 0x200), 100, 50);  // the whole movie
    mouse.Drop(Preset(dir, "High.QTcd", 0x300), 5, 50);      // at the start: splits at 5 s
    mouse.Drop(Preset(dir, "Low.QTcd", 0x100), 325, 50);     // at 5 s: 5 to 7.5 s
    ASSERT_EQ(model.VideoSegmentCount(), 3);
    mouse.Drag(480, 50, 512);                                 // 7.5 s boundary to 8 s
    STimeValue s, e;
    GetDescriptionTime(model.GetVideoSegment(3), s, e);
    ASSERT_EQ(s, (STimeValue{4800, 600}));
    mouse.Drag(64, 10, 64);                                   // playhead to 1 s
    mouse.Drag(96, 10, 128, Qt::ShiftModifier);               // span 1 s to 2 s
    mouse.Key(Qt::Key_Delete);
    ASSERT_EQ(model.ExcludedRangeCount(), 1);

    const fs::path picture = fs::path(MOVELARK_TEST_WORKDIR) / "timeline.png";
    list->viewport()->grab().save(QString::fromStdString(picture.string()));

    model.SaveSettingsToMovie();
    const fs::path output = dir / "e2e_output.mov";
    int status = -1;
    const std::string log = testsupport::CaptureCommand(
        testsupport::ShellQuote(testsupport::MovelarkBinary().string()) + " compress " +
            testsupport::ShellQuote(source.string()) + " -o " + testsupport::ShellQuote(output.string()) +
            " --quiet 2>&1",
        &status);
    ASSERT_EQ(status, 0) << log;

    // Ten seconds less the one left out.
    const double duration = std::stod(testsupport::Probe(output, "-select_streams v:0 -show_entries stream=duration"));
    EXPECT_NEAR(duration, 9.0, 0.15);
    EXPECT_EQ(testsupport::Probe(output, "-select_streams v:0 -count_packets -show_entries stream=nb_read_packets"),
              "90");
    // Segments start at 0, 5 s and 8 s of the source: 0, 4 and 7 s out.
    const std::vector<double> keys = KeyFrameTimes(output);
    EXPECT_TRUE(HasKeyFrameNear(keys, 0.0));
    EXPECT_TRUE(HasKeyFrameNear(keys, 4.0));
    EXPECT_TRUE(HasKeyFrameNear(keys, 7.0));
    delete list;
}

}  // namespace
