// The document window and the application object on real movies: opening,
// the compress command's checks, the size controls, the panes' wiring, the
// window's smallest size and dark palette, and the close protocol.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "timeline/CVideoList.h"
#include "appearance/ColourScheme.h"
#include "catalogs/CFileListBase.h"
#include "platform/media/encode/SoundSettings.h"
#include "framework/LEventLoop.h"
#include "framework/gui/LCommandMenus.h"
#include "framework/gui/LControl.h"
#include "framework/gui/LDocument.h"
#include "resources/StringLists.h"

namespace fs = std::filesystem;
using guitest::ScriptedDialogs;
using UModalAlerts::Answer;

namespace {

using guitest::LastDocument;
using testsupport::Spec;

size_t OpenDocuments() {
    size_t n = 0;
    for (LDocument* d : LDocument::GetDocumentList()) n += d->IsClosing() ? 0 : 1;
    return n;
}

QString Text(int16_t list, int16_t item) { return QString::fromStdString(GetIndString(list, item)); }

// Runs the application's loop until it quits; false when it had to be
// stopped (a broken start-up would run it for ever).
bool RunLoopUntilQuit(CTambleApp& app) {
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { LEventLoop::Quit(1); });
    safety.start(8000);
    app.RunEventLoop();
    return safety.isActive();
}

class DocWindowTest : public guitest::DocumentTest {};

TEST_F(DocWindowTest, AFileAlreadyOpenComesForwardInsteadOfOpeningTwice) {
    const fs::path a = testsupport::ScratchCopy(guitest::MovieWithSound(), "first.mov");
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
    EXPECT_TRUE(RunLoopUntilQuit(*app));
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
    EXPECT_TRUE(RunLoopUntilQuit(*app));
    EXPECT_EQ(openAtStart, 1u);
    EXPECT_TRUE(dialogs.openRequests.empty());
    EXPECT_TRUE(dialogs.alerts.empty());  // nothing was modified: no question
}

TEST_F(DocWindowTest, ADamagedSourceIsWrittenAndWhatCannotBeReadIsNamedAfterTheRun) {
    const fs::path movie = testsupport::IndexFirstMovie();
    CTambleDoc* doc = Open(testsupport::ScratchCutOff(movie, fs::file_size(movie) / 2, "half.mp4"));
    ASSERT_NE(doc, nullptr);
    doc->Model().AddVideoSegment(docsupport::MakeSegment(), STimeValue{0, 600}, nullptr, nullptr);
    const fs::path output = testsupport::ScratchDir() / "out.mov";
    dialogs.saveAnswers = {QString::fromStdString(output.string())};
    doc->ObeyCommand(cmd_Compress);
    EXPECT_TRUE(fs::exists(output));
    ASSERT_EQ(dialogs.alerts.size(), 1u);
    EXPECT_EQ(dialogs.alerts[0].icon, UModalAlerts::Icon::Warning);
    EXPECT_TRUE(dialogs.alerts[0].text.startsWith("\"half.mp4\" is damaged or incomplete: its pictures from "))
        << dialogs.alerts[0].text.toStdString();
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

    wide->Model().AddVideoSegment(docsupport::MakeSegment(), STimeValue{0, 600}, nullptr, nullptr);
    dialogs.answers = {Answer::No};
    wide->ObeyCommand(cmd_Compress);
    ASSERT_EQ(dialogs.alerts.size(), 3u);
    EXPECT_EQ(dialogs.alerts[2].text, Text(4242, 15));
    EXPECT_EQ(dialogs.alerts[2].buttons, UModalAlerts::Buttons::YesNo);
    EXPECT_TRUE(dialogs.saveRequests.empty());
    dialogs.answers = {Answer::Yes};
    wide->ObeyCommand(cmd_Compress);
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    // 320 wide goes straight to the save dialog.
    withSound->Model().AddVideoSegment(docsupport::MakeSegment(), STimeValue{0, 600}, nullptr, nullptr);
    withSound->ObeyCommand(cmd_Compress);
    EXPECT_EQ(dialogs.alerts.size(), 4u);
    EXPECT_EQ(dialogs.saveRequests.size(), 2u);
}

TEST_F(DocWindowTest, TheSizeControlsShowTheCropThenReachTheModel) {
    CTambleDoc* doc = Open(guitest::MovieWithSound());
    EXPECT_EQ(Pane(doc, "WIDT")->GetValue(), 320);
    EXPECT_EQ(Pane(doc, "HIGH")->GetValue(), 240);
    EXPECT_EQ(Pane(doc, "iSIZ")->GetDescriptor(),
              QString::number(fs::file_size(guitest::MovieWithSound()) / 1024) + QStringLiteral("K"));
    EXPECT_FALSE(doc->IsModified()) << "nothing the window did while it was built counts as an edit";
    EXPECT_EQ(doc->Model().GetOutputWidth(), 0);
    LControl* scal = Pane(doc, "SCAL");
    LControl* aspc = Pane(doc, "ASPC");
    scal->SetValue(1);
    aspc->SetValue(1);
    TypeInto(Pane<QWidget>(doc, "WIDT"), QStringLiteral("160"));  // typed sizes reach the model
    EXPECT_EQ(doc->Model().GetOutputHeight(), 120);
    EXPECT_EQ(Pane(doc, "HIGH")->GetValue(), 120);
    scal->SetValue(0);  // custom size off takes the constraint with it
    EXPECT_EQ(aspc->GetValue(), 0);
    EXPECT_FALSE(Pane<QWidget>(doc, "WIDT")->isEnabled());
    scal->SetValue(1);
    Pane<QAbstractButton>(doc, "ASPC")->click();  // the box still speaks to the model afterwards
    EXPECT_TRUE(doc->Model().GetConstrainProportions());
}

// The preview keys work wherever the focus is in the window (scroll areas
// and tab bars would take the arrows), except in text fields.
TEST_F(DocWindowTest, ArrowKeysStepThePreviewWhereverTheFocusIsButInTextFields) {
    CTambleDoc* doc = Open(guitest::MovieWithSound());
    ASSERT_TRUE(guitest::WaitFor([&] { return QApplication::activeWindow() == doc->GetWindow(); }));
    const struct {
        const char* pane;
        int64_t frames;  // steps taken by two right arrows
    } cases[] = {{"mvPV", 2}, {"vcST", 2}, {"PREV", 2}, {"TAB2", 2}, {"QUAL", 2}, {"WIDT", 0}, {"iLFT", 0}};
    for (const auto& c : cases) {
        QWidget* pane = Pane<QWidget>(doc, c.pane);
        ASSERT_NE(pane, nullptr) << c.pane;
        pane->setEnabled(true);
        pane->setFocus();
        QTest::keyClick(pane, Qt::Key_Right);
        QTest::keyClick(pane, Qt::Key_Right);
        EXPECT_EQ(doc->Model().GetCurrentTime().ValueIn(600), 20 * c.frames) << c.pane;  // 30 fps
        doc->Model().StepFrames(1);
        QTest::keyClick(pane, Qt::Key_Home);
        QTest::keyClick(pane, Qt::Key_Space);  // no playing from a text field either
        EXPECT_EQ(doc->Model().GetCurrentTime().ValueIn(600) == 0, c.frames != 0) << c.pane;
        EXPECT_EQ(doc->Model().IsPlaying(), c.frames != 0) << c.pane;
        doc->Model().Stop();
        doc->Model().GoToStart();
    }
    EXPECT_EQ(Pane(doc, "PREV")->GetValue(), 1);  // the tabs stayed where they were
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(DocWindowTest, ClosingAModifiedDocumentAsksAndCancelKeepsItQuittingAsksWithoutCancel) {
    CTambleDoc* doc = Open(guitest::MovieWithSound());
    doc->ObeyCommand(cmd_FlipHorizontal);
    ASSERT_TRUE(doc->IsModified());

    dialogs.answers = {Answer::Cancel, Answer::Cancel};
    doc->ObeyCommand(cmd_Close);
    doc->GetWindow()->close();  // the window's close box
    ASSERT_EQ(dialogs.alerts.size(), 2u);
    EXPECT_EQ(dialogs.alerts[0].caption, QStringLiteral("Save File?"));
    EXPECT_EQ(dialogs.alerts[0].text, QStringLiteral("Save changes to job-sound.mov?"));
    EXPECT_EQ(dialogs.alerts[0].buttons, UModalAlerts::Buttons::YesNoCancel);
    EXPECT_EQ(dialogs.alerts[1].text, dialogs.alerts[0].text);
    EXPECT_EQ(OpenDocuments(), 1u);

    dialogs.answers = {Answer::No};
    app->RequestQuit(kAEAsk);
    ASSERT_EQ(dialogs.alerts.size(), 3u);
    EXPECT_EQ(dialogs.alerts[2].buttons, UModalAlerts::Buttons::YesNo);
    EXPECT_EQ(app->GetState(), LApplication::State::Quitting);
    EXPECT_TRUE(guitest::WaitFor([] { return LDocument::GetDocumentList().empty(); }));
}

}  // namespace

namespace {
// The lightest pixel of a widget as drawn now.
int Lightest(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    int most = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) most = std::max(most, image.pixelColor(x, y).lightness());
    return most;
}
}  // namespace

// At its smallest the window fits a 1280 x 720 screen, and a 1600 x 1000
// screen at scale 1.5 (1066 x 666 points), title bar included; even then the
// timeline shows its ruler and both rows, and the filter list three cells.
TEST_F(DocWindowTest, AtItsSmallestTheWindowFitsSmallScreensAndShowsTheSoundRow) {
    CTambleDoc* doc = Open(guitest::MovieWithSound());
    LWindow* window = doc->GetWindow();
    const QSize smallest = window->minimumSizeHint();
    EXPECT_LE(smallest.width(), 1066);
    EXPECT_LE(smallest.height(), 666 - 30);
    window->resize(smallest);
    doc->Model().AddAudioSegment(std::make_unique<Handle>(MakeSoundSettings(FourCC("aac "), 2, 16, 48000)), STimeValue{0, 600});
    auto* list = Pane<CVideoList>(doc, "vcST");
    ASSERT_TRUE(guitest::WaitFor([&] { return list->viewport()->height() >= 119; }));
    // The sound row's box is drawn in its own colour, not the background.
    const QImage timeline = list->viewport()->grab().toImage();
    EXPECT_NE(timeline.pixelColor(40, 100), timeline.pixelColor(40, 74));
    Pane(doc, "TAB2")->SetValue(2);
    auto* filters = window->FindPane<QAbstractScrollArea>(PaneIDT(FourCC("filt")));
    ASSERT_NE(filters, nullptr);
    EXPECT_TRUE(guitest::WaitFor([&] { return filters->viewport()->width() >= 3 * 92; }));
    EXPECT_GE(filters->viewport()->height(), 72);
}

// Steps on one window: typed crop edges change the split preview's size;
// the zoom buttons show the zoom in use and reach the timeline; the depth
// popup names what the segment's codec writes; the transitions tab lists
// the shipped transitions.
TEST_F(DocWindowTest, CropFieldsZoomButtonsDepthPopupAndTransitionsTabAreWired) {
    CTambleDoc* doc = Open(guitest::MovieWithSound());
    auto* preview = Pane<LView>(doc, "mvPV");
    Pane(doc, "PREV")->SetValue(2);
    QCoreApplication::processEvents();
    const QSize before = preview->GetImageSize();
    TypeInto(Pane<QWidget>(doc, "iRGT"), QStringLiteral("160"));
    EXPECT_EQ(doc->Model().GetCropRight(), 160);
    EXPECT_NE(preview->GetImageSize(), before);

    const char* ids[] = {"FITT", "50pc", "100p", "200p"};
    for (const char* chosen : {"100p", "FITT", "200p", "200p"}) {
        QTest::mouseClick(Pane<QAbstractButton>(doc, chosen), Qt::LeftButton);
        for (const char* id : ids) EXPECT_EQ(Pane<QAbstractButton>(doc, id)->isChecked(), !strcmp(id, chosen)) << id;
    }
    auto* list = Pane<CVideoList>(doc, "vcST");
    const int32_t unzoomed = list->GetPixelsPerSecond();
    // Zoomed in far enough that the movie no longer fits, zooming out is allowed.
    for (int i = 0; i < 5; ++i) QTest::mouseClick(Pane<QAbstractButton>(doc, "ZMin"), Qt::LeftButton);
    const int32_t zoomed = list->GetPixelsPerSecond();
    EXPECT_GT(zoomed, unzoomed);
    QTest::mouseClick(Pane<QAbstractButton>(doc, "ZMot"), Qt::LeftButton);
    EXPECT_LT(list->GetPixelsPerSecond(), zoomed);

    doc->Model().AddVideoSegment(docsupport::MakeSegment(), STimeValue{0, 600}, nullptr, nullptr);  // H.264
    EXPECT_EQ(Pane<QComboBox>(doc, "DEPT")->currentText(), QStringLiteral("Millions of colours"));

    ASSERT_EQ(Pane<QTabBar>(doc, "TAB1")->tabText(4), QStringLiteral("Transitions"));
    Pane(doc, "TAB1")->SetValue(5);
    auto* transitions = doc->GetWindow()->FindPane<CFileListBase>(PaneIDT(FourCC("Vef2")));
    ASSERT_NE(transitions, nullptr);
    ASSERT_TRUE(transitions->isVisible());
    transitions->Reload();
    QStringList names;
    for (int32_t i = 1; i <= transitions->CountItems(); ++i)
        names << QString::fromStdString(transitions->GetItem(i).FileName(false));
    EXPECT_EQ(names, (QStringList{"Cross Fade", "Push", "Wipe"}));
}

// On a dark desktop the window is dark and what is drawn on it light.
TEST_F(DocWindowTest, ADarkPaletteReachesTheTimelineIconsAndCaptions) {
    const QPalette light = QApplication::palette();
    QApplication::setPalette(DarkPalette());
    CTambleDoc* doc = Open(guitest::MovieWithSound());
    auto* list = Pane<CVideoList>(doc, "vcST");
    const QImage timeline = list->viewport()->grab().toImage();
    EXPECT_LT(timeline.pixelColor(timeline.width() - 2, 2).lightness(), 100);  // the ruler's background
    for (const char* id : {"Tply", "Tfwd", "ROTL", "FLPV", "FITT"}) EXPECT_GT(Lightest(Pane<QWidget>(doc, id)), 180) << id;
    EXPECT_GT(Lightest(doc->GetWindow()->findChild<QWidget*>(QStringLiteral("lblSource"))), 180);
    QApplication::setPalette(light);
}
