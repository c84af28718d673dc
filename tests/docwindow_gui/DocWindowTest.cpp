// The document window and the application object on real movies: opening,
// the compress command's checks, the picture commands, the size controls
// and the close protocol.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "support/TestSupport.h"
#include "app/CTambleApp.h"
#include "docwindow/CTambleDoc.h"
#include "timeline/CVideoList.h"
#include "framework/LEventLoop.h"
#include "framework/gui/LCommandMenus.h"
#include "framework/gui/LControl.h"
#include "framework/gui/LDocument.h"
#include "framework/gui/LEditField.h"
#include "model/SChangeInfo.h"
#include "platform/media/encode/VideoSettings.h"
#include "resources/StringLists.h"

namespace fs = std::filesystem;
using guitest::ScriptedDialogs;
using UModalAlerts::Answer;

namespace {

using testsupport::Spec;

size_t OpenDocuments() {
    size_t n = 0;
    for (LDocument* d : LDocument::GetDocumentList()) n += d->IsClosing() ? 0 : 1;
    return n;
}

CTambleDoc* LastDocument() {
    const auto& list = LDocument::GetDocumentList();
    return list.empty() ? nullptr : dynamic_cast<CTambleDoc*>(list.back());
}

QString Text(int16_t list, int16_t item) { return QString::fromStdString(GetIndString(list, item)); }

class DocWindowTest : public ::testing::Test {
protected:
    void SetUp() override { app = std::make_unique<CTambleApp>(0); }
    void TearDown() override {
        app.reset();
        QCoreApplication::processEvents();
    }

    CTambleDoc* Open(const fs::path& path) {
        app->OpenFileInWindow(Spec(path));
        return LastDocument();
    }
    template <class T = LControl>
    T* Pane(CTambleDoc* doc, const char (&id)[5]) {
        return doc->GetWindow()->FindPane<T>(PaneIDT(FourCC(id)));
    }
    void TypeInto(QWidget* field, const QString& text) {
        field->setFocus();
        auto* spin = qobject_cast<QSpinBox*>(field);
        ASSERT_NE(spin, nullptr);
        spin->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }

    ScriptedDialogs dialogs;  // outlives the application
    std::unique_ptr<CTambleApp> app;
};

TEST_F(DocWindowTest, AFileAlreadyOpenComesForwardInsteadOfOpeningTwice) {
    const fs::path a = guitest::ScratchCopy(guitest::MovieWithSound(), "first.mov");
    const fs::path b = a.parent_path() / "second.mov";
    fs::copy_file(a, b);

    CTambleDoc* docA = Open(a);
    ASSERT_NE(docA, nullptr);
    CTambleDoc* docB = Open(b);
    ASSERT_NE(docB, docA);
    ASSERT_EQ(OpenDocuments(), 2u);
    ASSERT_TRUE(guitest::WaitFor([&] { return QApplication::activeWindow() == docB->GetWindow(); }));

    Open(a);
    EXPECT_EQ(OpenDocuments(), 2u);
    EXPECT_EQ(LastDocument(), docB);
    EXPECT_TRUE(guitest::WaitFor([&] { return QApplication::activeWindow() == docA->GetWindow(); }));

    // The names are compared ignoring case, without going to the disk.
    fs::path upper = a.parent_path() / "FIRST.MOV";
    Open(upper);
    EXPECT_EQ(OpenDocuments(), 2u);
    EXPECT_TRUE(dialogs.alerts.empty());
}

TEST_F(DocWindowTest, FileOpenGoesThroughTheRealOpenDialog) {
    UModalAlerts::SetOpenHook(nullptr);  // the real dialog this time
    const fs::path movie = guitest::MovieWithSound();
    QString filters;
    // Answer the dialog once it is up, as a person would: go to the
    // folder, type the name, press Open.
    QTimer answer;
    int tries = 0;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        if (++tries > 50) dialog->reject();
        filters = dialog->nameFilters().join(QLatin1Char('|'));
        dialog->setDirectory(QString::fromStdString(movie.parent_path().string()));
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            name->setText(QString::fromStdString(movie.filename().string()));
            QTest::keyClick(name, Qt::Key_Return);
        }
    });
    answer.start(100);
    ASSERT_TRUE(LCommandMenus::Dispatch(cmd_Open, app.get()));
    EXPECT_EQ(OpenDocuments(), 1u);
    EXPECT_TRUE(filters.contains(QStringLiteral("*.mp4"))) << filters.toStdString();
    EXPECT_TRUE(filters.contains(QStringLiteral("(*)"))) << filters.toStdString();
}

TEST_F(DocWindowTest, AFileThatIsNoMovieShowsTheOpenErrorAndLeavesNoWindow) {
    const fs::path text = testsupport::ScratchDir() / "notes.mov";
    std::FILE* f = std::fopen(text.c_str(), "w");
    std::fputs("not a movie at all\n", f);
    std::fclose(f);

    Open(text);
    EXPECT_EQ(OpenDocuments(), 0u);
    ASSERT_EQ(dialogs.alerts.size(), 1u);
    EXPECT_EQ(dialogs.alerts[0].text, Text(1100, 37));
    EXPECT_EQ(dialogs.alerts[0].caption, QStringLiteral("Error"));
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(dynamic_cast<LWindow*>(w) && w->isVisible());
}

TEST_F(DocWindowTest, CancellingOpenAtStartUpEndsTheProgram) {
    QTimer safety;  // a broken start-up would run the loop for ever
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { LEventLoop::Quit(1); });
    safety.start(8000);

    QElapsedTimer elapsed;
    elapsed.start();
    app->RunEventLoop();
    EXPECT_LT(elapsed.elapsed(), 6000);
    EXPECT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(OpenDocuments(), 0u);
    EXPECT_EQ(app->GetState(), LApplication::State::Quitting);
}

TEST_F(DocWindowTest, AStartUpFileOpensWithoutAskingAndQuitClosesIt) {
    app->SetStartupFile(Spec(guitest::MovieWithSound()));
    size_t openAtStart = 0;
    QTimer::singleShot(200, [&] {
        openAtStart = OpenDocuments();
        app->ObeyCommand(cmd_Quit);
    });
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { LEventLoop::Quit(1); });
    safety.start(8000);

    app->RunEventLoop();
    EXPECT_EQ(openAtStart, 1u);
    EXPECT_TRUE(dialogs.openRequests.empty());
    EXPECT_TRUE(dialogs.alerts.empty());  // nothing was modified: no question
}

TEST_F(DocWindowTest, CompressChecksTheSettingsAndAsksAboutAWidthNotAMultipleOfFour) {
    CTambleDoc* withSound = Open(guitest::MovieWithSound());
    CTambleDoc* wide = Open(guitest::Movie641Wide());  // silent
    withSound->ObeyCommand(cmd_Compress);
    wide->ObeyCommand(cmd_Compress);
    ASSERT_EQ(dialogs.alerts.size(), 2u);  // what is missing, with or without sound
    EXPECT_EQ(dialogs.alerts[0].text, Text(4242, 9));
    EXPECT_EQ(dialogs.alerts[1].text, Text(4242, 10));
    EXPECT_TRUE(dialogs.saveRequests.empty());

    wide->Model().AddVideoSegment(guitest::MakeSegment(), STimeValue{0, 600}, nullptr, nullptr);
    dialogs.answers = {Answer::No};
    wide->ObeyCommand(cmd_Compress);
    ASSERT_EQ(dialogs.alerts.size(), 3u);
    EXPECT_EQ(dialogs.alerts[2].text, Text(4242, 15));
    EXPECT_EQ(dialogs.alerts[2].buttons, UModalAlerts::Buttons::YesNo);
    EXPECT_TRUE(dialogs.saveRequests.empty());
    dialogs.answers = {Answer::Yes};
    wide->ObeyCommand(cmd_Compress);
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].defaultName, QStringLiteral("docwin_641_square new.mov"));
    // 640 wide goes straight to the save dialog.
    withSound->Model().AddVideoSegment(guitest::MakeSegment(), STimeValue{0, 600}, nullptr, nullptr);
    withSound->ObeyCommand(cmd_Compress);
    EXPECT_EQ(dialogs.alerts.size(), 4u);
    EXPECT_EQ(dialogs.saveRequests.size(), 2u);
}

TEST_F(DocWindowTest, RotateLeftFourTimesComesBackToTheStart) {
    CTambleDoc* doc = Open(guitest::MovieWithSound());
    auto* rotateLeft = Pane<QAbstractButton>(doc, "ROTL");
    ASSERT_NE(rotateLeft, nullptr);
    const int32_t expected[] = {270, 180, 90, 0};
    for (int32_t rotation : expected) {
        QTest::mouseClick(rotateLeft, Qt::LeftButton);
        EXPECT_EQ(doc->Model().GetRotation(), rotation);
    }
    doc->ObeyCommand(cmd_RotateRight);
    EXPECT_EQ(doc->Model().GetRotation(), 90);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(DocWindowTest, TheSizeControlsShowTheCropThenReachTheModel) {
    CTambleDoc* doc = Open(guitest::MovieWithSound());
    EXPECT_EQ(Pane(doc, "WIDT")->GetValue(), 640);
    EXPECT_EQ(Pane(doc, "HIGH")->GetValue(), 360);
    EXPECT_EQ(Pane(doc, "iSIZ")->GetDescriptor(),
              QString::number(fs::file_size(guitest::MovieWithSound()) / 1024) + QStringLiteral("K"));
    EXPECT_FALSE(doc->IsModified()) << "nothing the window did while it was built counts as an edit";
    EXPECT_EQ(doc->Model().GetOutputWidth(), 0);
    LControl* scal = Pane(doc, "SCAL");
    LControl* aspc = Pane(doc, "ASPC");
    scal->SetValue(1);
    aspc->SetValue(1);
    TypeInto(Pane<QWidget>(doc, "WIDT"), QStringLiteral("320"));  // typed sizes reach the model
    EXPECT_EQ(doc->Model().GetOutputHeight(), 180);
    EXPECT_EQ(Pane(doc, "HIGH")->GetValue(), 180);
    // Custom size off turns the constraint off without a second model edit.
    guitest::ChangeRecorder recorder;
    recorder.Observe(&doc->Model());
    scal->SetValue(0);
    EXPECT_EQ(aspc->GetValue(), 0);
    EXPECT_FALSE(doc->Model().GetConstrainProportions());
    ASSERT_EQ(recorder.Count(kChangeConstrainProportions), 1);
    for (const auto& change : recorder.changes)
        if (change.code == kChangeConstrainProportions) {
            EXPECT_FALSE(change.customSize);
        }
    EXPECT_FALSE(Pane<QWidget>(doc, "WIDT")->isEnabled());
    scal->SetValue(1);
    aspc->SetValue(1);  // the box still speaks to the model afterwards
    EXPECT_TRUE(doc->Model().GetConstrainProportions());
}

TEST_F(DocWindowTest, ArrowKeysStepThePreviewAndHomeGoesBack) {
    CTambleDoc* doc = Open(guitest::MovieWithSound());
    QTest::keyClick(doc->GetWindow(), Qt::Key_Right);
    QTest::keyClick(doc->GetWindow(), Qt::Key_Right);
    const int64_t after = doc->Model().GetCurrentTime().ValueIn(600);
    EXPECT_EQ(after, 40);  // two frames of a 30 fps movie
    QTest::keyClick(doc->GetWindow(), Qt::Key_Home);
    EXPECT_EQ(doc->Model().GetCurrentTime().ValueIn(600), 0);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(DocWindowTest, ClosingAModifiedDocumentAsksAndCancelKeepsIt) {
    CTambleDoc* doc = Open(guitest::MovieWithSound());
    doc->ObeyCommand(cmd_FlipHorizontal);
    ASSERT_TRUE(doc->IsModified());

    dialogs.answers = {Answer::Cancel};
    doc->ObeyCommand(cmd_Close);
    ASSERT_EQ(dialogs.alerts.size(), 1u);
    EXPECT_EQ(dialogs.alerts[0].caption, QStringLiteral("Save File?"));
    EXPECT_EQ(dialogs.alerts[0].text, QStringLiteral("Save changes to docwin_640x360_sound.mov?"));
    EXPECT_EQ(dialogs.alerts[0].buttons, UModalAlerts::Buttons::YesNoCancel);
    EXPECT_EQ(OpenDocuments(), 1u);

    dialogs.answers = {Answer::No};
    doc->GetWindow()->close();  // the window's close box
    EXPECT_TRUE(guitest::WaitFor([] { return LDocument::GetDocumentList().empty(); }));
}

TEST_F(DocWindowTest, RevertAsksAndGoesBackToTheSavedSettings) {
    const fs::path movie = guitest::ScratchCopy(guitest::MovieWithSound(), "revert.mov");
    CTambleDoc* doc = Open(movie);
    doc->ObeyCommand(cmd_RotateRight);
    doc->ObeyCommand(cmd_Save);
    ASSERT_FALSE(doc->IsModified());
    doc->ObeyCommand(cmd_FlipVertical);
    Pane(doc, "SCAL")->SetValue(1);

    dialogs.answers = {Answer::No};
    doc->ObeyCommand(cmd_Revert);
    EXPECT_TRUE(doc->Model().GetFlipVertical());
    dialogs.answers = {Answer::Yes};
    doc->ObeyCommand(cmd_Revert);
    ASSERT_EQ(dialogs.alerts.size(), 2u);
    EXPECT_EQ(dialogs.alerts[1].caption, QStringLiteral("Revert"));
    EXPECT_EQ(dialogs.alerts[1].text, QStringLiteral("Revert to the last saved version of the document?"));
    EXPECT_FALSE(doc->Model().GetFlipVertical());
    EXPECT_EQ(doc->Model().GetRotation(), 90);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(Pane(doc, "SCAL")->GetValue(), 0);
}

TEST_F(DocWindowTest, SaveAsMovesTheDocumentToTheNewFile) {
    const fs::path movie = guitest::ScratchCopy(guitest::MovieWithSound(), "original.mov");
    const fs::path copy = movie.parent_path() / "copy.mov";
    CTambleDoc* doc = Open(movie);
    doc->ObeyCommand(cmd_FlipHorizontal);
    dialogs.saveAnswers = {QString::fromStdString(copy.string())};
    doc->ObeyCommand(cmd_SaveAs);
    ASSERT_TRUE(fs::exists(copy));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(doc->GetWindow()->windowTitle().endsWith(QStringLiteral("copy.mov")));
    EXPECT_TRUE(doc->UsesFileSpec(Spec(copy)));
    EXPECT_FALSE(doc->UsesFileSpec(Spec(movie)));
    // The new file carries the settings.
    app->OpenFileInWindow(Spec(copy));
    EXPECT_EQ(OpenDocuments(), 1u);
}

TEST_F(DocWindowTest, QuittingAsksWithoutCancel) {
    CTambleDoc* doc = Open(guitest::MovieWithSound());
    doc->ObeyCommand(cmd_FlipVertical);
    dialogs.answers = {Answer::No};
    app->RequestQuit(kAEAsk);
    ASSERT_EQ(dialogs.alerts.size(), 1u);
    EXPECT_EQ(dialogs.alerts[0].buttons, UModalAlerts::Buttons::YesNo);
    EXPECT_EQ(app->GetState(), LApplication::State::Quitting);
}

}  // namespace

TEST_F(DocWindowTest, TimelineZoomButtonsReachTheTimeline) {
    CTambleDoc* doc = Open(guitest::ScratchCopy(guitest::MovieWithSound(), "zoom.mov"));
    ASSERT_NE(doc, nullptr);
    auto* list = doc->GetWindow()->FindPane<CVideoList>(PaneIDT(FourCC("vcST")));
    auto* zoomIn = Pane<QAbstractButton>(doc, "ZMin");
    auto* zoomOut = Pane<QAbstractButton>(doc, "ZMot");
    ASSERT_NE(list, nullptr);
    ASSERT_NE(zoomIn, nullptr);
    ASSERT_NE(zoomOut, nullptr);
    const int32_t before = list->GetPixelsPerSecond();
    QTest::mouseClick(zoomIn, Qt::LeftButton);
    EXPECT_GT(list->GetPixelsPerSecond(), before);
    // Zoomed in far enough that the movie no longer fits, zooming out is allowed.
    for (int i = 0; i < 4; ++i) QTest::mouseClick(zoomIn, Qt::LeftButton);
    const int32_t zoomed = list->GetPixelsPerSecond();
    QTest::mouseClick(zoomOut, Qt::LeftButton);
    EXPECT_LT(list->GetPixelsPerSecond(), zoomed);
}

TEST_F(DocWindowTest, TimelineSettingsControlsEditSegmentOneAndFollowTheModel) {
    CTambleDoc* doc = Open(guitest::ScratchCopy(guitest::MovieWithSound(), "depth.mov"));
    ASSERT_NE(doc, nullptr);
    auto* depth = Pane<QComboBox>(doc, "DEPT");
    auto* quality = Pane<QSlider>(doc, "QUAL");
    ASSERT_NE(depth, nullptr);
    ASSERT_NE(quality, nullptr);
    EXPECT_EQ(depth->count(), 6);
    EXPECT_EQ(quality->maximum(), 1024);
    EXPECT_FALSE(depth->isEnabled());
    EXPECT_FALSE(quality->isEnabled());

    auto& model = doc->Model();
    model.AddVideoSegment(std::make_unique<Handle>(MakeVideoSettings(FourCC("png "))), STimeValue{0, 600}, nullptr,
                          nullptr);
    ASSERT_TRUE(depth->isEnabled());
    ASSERT_TRUE(quality->isEnabled());
    auto segment1 = [&] { return VideoSettings::FromHandle(*model.GetVideoSegment(1)); };
    QTest::keyClick(depth, Qt::Key_Home);  // black and white
    EXPECT_EQ(segment1().depth, 1);
    QTest::keyClick(depth, Qt::Key_Down);
    EXPECT_EQ(segment1().depth, 2);
    QTest::keyClick(quality, Qt::Key_End);
    EXPECT_EQ(segment1().spatialQuality, 1024);

    // Another preset in its place: the controls show its values and leave them be.
    model.RemoveVideoSegment(1);
    EXPECT_FALSE(depth->isEnabled());
    EXPECT_FALSE(quality->isEnabled());
    VideoSettings other;
    other.codecType = FourCC("rle ");
    other.depth = 16;
    other.spatialQuality = 0x300;
    model.AddVideoSegment(std::make_unique<Handle>(other.ToHandle()), STimeValue{0, 600}, nullptr, nullptr);
    EXPECT_EQ(depth->currentIndex(), 4);
    EXPECT_EQ(quality->value(), 0x300);
    EXPECT_EQ(segment1().depth, 16);
    EXPECT_EQ(segment1().spatialQuality, 0x300);
}

TEST_F(DocWindowTest, EditClearRemovesTheTimelineSelection) {
    CTambleDoc* doc = Open(guitest::ScratchCopy(guitest::MovieWithSound(), "clear.mov"));
    ASSERT_NE(doc, nullptr);
    auto* list = doc->GetWindow()->FindPane<CVideoList>(PaneIDT(FourCC("vcST")));
    ASSERT_NE(list, nullptr);
    doc->Model().AddVideoSegment(guitest::MakeSegment(), STimeValue{0, 600}, nullptr, nullptr);
    QAction* clear = LCommandMenus::Instance().ActionFor(cmd_Clear);
    ASSERT_NE(clear, nullptr);
    EXPECT_TRUE(clear->shortcut().isEmpty());  // Delete stays with the focused pane
    ASSERT_TRUE(guitest::WaitFor([&] { return QApplication::activeWindow() == doc->GetWindow(); }));
    list->setFocus();
    ASSERT_TRUE(guitest::WaitFor([&] { return LCommander::GetTarget() == static_cast<LCommander*>(list); }));

    LCommandMenus::Instance().UpdateStatus();
    EXPECT_FALSE(clear->isEnabled());
    list->Select(1, CVideoList::kVideo);
    LCommandMenus::Instance().UpdateStatus();
    EXPECT_TRUE(clear->isEnabled());
    clear->trigger();
    EXPECT_EQ(doc->Model().VideoSegmentCount(), 0);
    LCommandMenus::Instance().UpdateStatus();
    EXPECT_FALSE(clear->isEnabled());
}
