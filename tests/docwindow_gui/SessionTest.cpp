// A user's session on the real window, end to end: open a movie, edit the
// crop, turn the picture, set a custom size, save the settings into the
// movie, close, reopen and find them, compress with the progress window and
// its graph, cancel a second run, write a droplet.
#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "platform/files/DropletFile.h"
#include "docwindow/CDataRateView.h"
#include "docwindow/CProgressWindow.h"
#include "framework/gui/StDialogHandler.h"

namespace fs = std::filesystem;

namespace {

using guitest::DocumentTest;

TEST_F(DocumentTest, EditSaveReopenCompressCancelAndMakeADroplet) {
    struct {
        int polls = 0;
        bool windowShown = false;
        size_t samples = 0;
        int cancelAtPoll = 0;  // 0: never
        QString title;
    } watcher;
    CProgressWindow::SetPollHook([&watcher](CProgressWindow& progress) {
        ++watcher.polls;
        QWidget* window = progress.Dialog()->GetDialog();
        watcher.windowShown = watcher.windowShown || window->isVisible();
        watcher.title = window->windowTitle();
        watcher.samples = progress.Graph().VideoSamples().size() + progress.Graph().AudioSamples().size();
        if (watcher.polls == watcher.cancelAtPoll)
            QTest::mouseClick(window->findChild<QAbstractButton*>(QStringLiteral("cncl")), Qt::LeftButton);
    });
    struct HookGuard {
        ~HookGuard() { CProgressWindow::SetPollHook(nullptr); }
    } guard;
    const fs::path movie = testsupport::ScratchCopy(guitest::MovieWithSound(), "holiday.mov");
    const fs::path folder = movie.parent_path();

    CTambleDoc* doc = Open(movie);
    ASSERT_NE(doc, nullptr);
    // The title: the file's name and a mark for unsaved changes.
    EXPECT_EQ(doc->GetWindow()->windowTitle(), QStringLiteral("holiday.mov[*]"));

    // Turn the picture, then crop it in its turned coordinates (240 x 320).
    QTest::mouseClick(Pane<QAbstractButton>(doc, "ROTR"), Qt::LeftButton);
    ASSERT_EQ(doc->Model().GetRotation(), 90);
    TypeInto(Pane<QWidget>(doc, "iLFT"), "20");
    TypeInto(Pane<QWidget>(doc, "iRGT"), "220");
    TypeInto(Pane<QWidget>(doc, "iBOT"), "300");
    EXPECT_EQ(std::tuple(doc->Model().GetCropLeft(), doc->Model().GetCropRight(), doc->Model().GetCropBottom()),
              std::tuple(20, 220, 300));

    // A custom size of 160 x 300.
    Pane(doc, "SCAL")->SetValue(1);
    TypeInto(Pane<QWidget>(doc, "WIDT"), "160");
    TypeInto(Pane<QWidget>(doc, "HIGH"), "300");
    EXPECT_EQ(std::tuple(doc->Model().GetOutputWidth(), doc->Model().GetOutputHeight()), std::tuple(160, 300));
    // Video settings come from the catalogs, which this window does not
    // have yet: the timeline gets one segment directly.
    doc->Model().AddVideoSegment(docsupport::MakeSegment(), STimeValue{0, 600}, nullptr, nullptr);
    ASSERT_TRUE(doc->IsModified());
    EXPECT_TRUE(doc->GetWindow()->isWindowModified());

    // Save into the movie, close, reopen.
    doc->ObeyCommand(cmd_Save);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(dialogs.saveRequests.empty());  // the movie itself is the file
    const CTambleDocModel::SSnapshot saved = doc->Model().TakeSnapshot();
    doc->ObeyCommand(cmd_Close);
    EXPECT_TRUE(dialogs.alerts.empty());
    ASSERT_TRUE(guitest::WaitFor([] { return LDocument::GetDocumentList().empty(); }));

    doc = Open(movie);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->Model().TakeSnapshot() == saved);
    EXPECT_EQ(Pane(doc, "SCAL")->GetValue(), 1);
    EXPECT_EQ(Pane(doc, "WIDT")->GetValue(), 160);
    EXPECT_EQ(Pane(doc, "HIGH")->GetValue(), 300);
    EXPECT_FALSE(doc->IsModified());

    // Compress with the jelly button.
    const fs::path output = folder / "holiday new.mov";
    dialogs.saveAnswers = {QString::fromStdString(output.string())};
    QTest::mouseClick(Pane<QWidget>(doc, "EPRT"), Qt::LeftButton);
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].defaultName, QStringLiteral("holiday new.mov"));
    EXPECT_TRUE(dialogs.alerts.empty()) << dialogs.alerts[0].text.toStdString();
    ASSERT_TRUE(fs::exists(output));
    EXPECT_EQ(testsupport::Probe(output, "-select_streams v:0 -show_entries stream=width,height"), "160\n300");
    EXPECT_EQ(testsupport::Probe(output, "-select_streams a:0 -show_entries stream=codec_type"), "audio");
    EXPECT_GT(watcher.polls, 0);
    EXPECT_TRUE(watcher.windowShown);
    EXPECT_GT(watcher.samples, 30u);  // every frame reached the graph
    // The window went away with the run.
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible() && w->windowTitle().contains(QStringLiteral("holiday new.mov")));

    // A second run, cancelled from its window: no file, no message.
    const fs::path cancelled = folder / "cancelled.mov";
    dialogs.saveAnswers = {QString::fromStdString(cancelled.string())};
    watcher.polls = 0;
    watcher.cancelAtPoll = 2;
    doc->ObeyCommand(cmd_Compress);
    EXPECT_GE(watcher.polls, 2);
    EXPECT_FALSE(fs::exists(cancelled));
    EXPECT_TRUE(dialogs.alerts.empty());
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().find("compressing"), std::string::npos) << entry.path();

    // A droplet with the document's settings.
    const fs::path droplet = folder / "holiday-droplet";
    dialogs.saveAnswers = {QString::fromStdString(droplet.string())};
    doc->ObeyCommand(cmd_WriteDroplet);
    ASSERT_TRUE(fs::exists(droplet));
    EXPECT_NE(fs::status(droplet).permissions() & fs::perms::owner_exec, fs::perms::none);
    EXPECT_EQ(ReadDropletSettings(droplet.string()), doc->Model().WriteSettings());
    EXPECT_TRUE(dialogs.alerts.empty());
}

}  // namespace
