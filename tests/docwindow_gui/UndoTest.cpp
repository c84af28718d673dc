// Undo and Redo across every kind of document edit, made as a user makes
// it where the window offers a way; and movies opened by dropping them and
// from File > Open Recent.
#include <QAbstractButton>
#include <QDropEvent>
#include <QFileDialog>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "app/URecentFiles.h"
#include "framework/gui/LCommandMenus.h"
#include "framework/gui/LControl.h"
#include "model/DescriptionTime.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/VideoSettings.h"
#include "support/TestSupport.h"
#include "timeline/CVideoList.h"

namespace fs = std::filesystem;

namespace {

class UndoTest;
using Action = std::function<void(UndoTest&, CTambleDoc&)>;

struct EditCase {
    std::string name;  // as the Edit menu shows it after "Undo "
    Action prepare;    // made first, as a step of its own
    Action edit;
};

void PrintTo(const EditCase& edit, std::ostream* out) { *out << edit.name; }

class UndoTest : public guitest::DocumentTest, public ::testing::WithParamInterface<EditCase> {
public:
    CVideoList* Timeline(CTambleDoc& doc) { return Pane<CVideoList>(&doc, "vcST"); }

    // The Edit menu's item for the command as it shows when the menu opens.
    QString MenuText(CTambleDoc& doc, CommandT command) {
        QAction* action = LCommandMenus::Instance().ActionFor(command);
        for (QMenu* menu : doc.GetWindow()->menuBar()->findChildren<QMenu*>())
            if (menu->actions().contains(action)) emit menu->aboutToShow();
        return action->isEnabled() ? action->text() : QString();
    }

    // Keys go to the window with nothing focused (a text field keeps
    // Ctrl+Z for its own typing).
    void PressInWindow(CTambleDoc& doc, int key, Qt::KeyboardModifiers modifiers) {
        if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
        QTest::keyClick(doc.GetWindow(), Qt::Key(key), modifiers);
    }

    CTambleDoc& OpenActive(const fs::path& movie) {
        CTambleDoc* doc = Open(movie);
        EXPECT_NE(doc, nullptr);
        EXPECT_TRUE(guitest::WaitFor([&] { return QApplication::activeWindow() == doc->GetWindow(); }));
        return *doc;
    }
};

void AddSegment(UndoTest&, CTambleDoc& doc) {
    doc.Model().AddVideoSegment(docsupport::MakeSegment(), STimeValue{0, 600}, nullptr, nullptr);
}
void AddSound(UndoTest&, CTambleDoc& doc) {
    doc.Model().AddAudioSegment(std::make_unique<Handle>(MakeSoundSettings(FourCC("aac "), 2, 16, 44100)),
                                STimeValue{0, 600});
}
void AddFilter(UndoTest&, CTambleDoc& doc) {
    doc.Model().AddFilter(std::make_unique<Handle>(MakeEffectDescription(FourCC("blur"))));
}
void ExcludeASpan(UndoTest&, CTambleDoc& doc) {
    doc.Model().AddExcludedRange(TimeRange(STimeValue{300, 600}, STimeValue{600, 600}));
    doc.Model().ExcludedRangesChanged();
}
void CustomSizeOn(UndoTest& t, CTambleDoc& doc) { t.Pane(&doc, "SCAL")->SetValue(1); }
void DeleteInTimeline(UndoTest& t, CTambleDoc& doc, int32_t kind) {
    t.Timeline(doc)->Select(1, kind);
    t.Timeline(doc)->DeleteSelection();
}

const EditCase kEdits[] = {
    {"Crop", nullptr, [](UndoTest& t, CTambleDoc& d) { t.TypeInto(t.Pane<QWidget>(&d, "iLFT"), "100"); }},
    {"Rotate", nullptr, [](UndoTest& t, CTambleDoc& d) { QTest::mouseClick(t.Pane<QAbstractButton>(&d, "ROTL"), Qt::LeftButton); }},
    {"Flip Horizontally", nullptr,
     [](UndoTest& t, CTambleDoc& d) { t.PressInWindow(d, Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier); }},
    {"Custom Size", nullptr, CustomSizeOn},
    // Two changes from one edit (the other side follows): one step.
    {"Output Size", [](UndoTest& t, CTambleDoc& d) { CustomSizeOn(t, d); t.Pane(&d, "ASPC")->SetValue(1); },
     [](UndoTest& t, CTambleDoc& d) { t.TypeInto(t.Pane<QWidget>(&d, "WIDT"), "160"); }},
    {"Watermark", nullptr,
     [](UndoTest&, CTambleDoc& d) {
         const fs::path picture = testsupport::ScratchDir() / "mark.png";
         QImage(32, 16, QImage::Format_RGB32).save(QString::fromStdString(picture.string()));
         d.Model().SetWatermarkFile(testsupport::Spec(picture));
     }},
    {"Add Filter", nullptr, AddFilter},
    {"Remove Filter", AddFilter, [](UndoTest&, CTambleDoc& d) { d.Model().RemoveFilter(1); }},
    {"Add Video Settings", nullptr, AddSegment},
    // Edit > Clear acts on the focused timeline; Delete stays with the focused pane.
    {"Remove Video Settings", AddSegment,
     [](UndoTest& t, CTambleDoc& d) {
         QAction* clear = LCommandMenus::Instance().ActionFor(cmd_Clear);
         EXPECT_TRUE(clear->shortcut().isEmpty());
         CVideoList* list = t.Timeline(d);
         list->setFocus();
         ASSERT_TRUE(guitest::WaitFor([&] { return LCommander::GetTarget() == static_cast<LCommander*>(list); }));
         list->Select(1, CVideoList::kVideo);
         LCommandMenus::Instance().UpdateStatus();
         clear->trigger();
     }},
    {"Video Settings",
     [](UndoTest&, CTambleDoc& d) {
         d.Model().AddVideoSegment(std::make_unique<Handle>(MakeVideoSettings(FourCC("avc1"), 0x200)),
                                   STimeValue{0, 600}, nullptr, nullptr);
     },
     [](UndoTest& t, CTambleDoc& d) { QTest::keyClick(t.Pane<QSlider>(&d, "QUAL"), Qt::Key_PageUp); }},
    // A drag of the boundary between two segments, as one step.
    {"Move Boundary",
     [](UndoTest& t, CTambleDoc& d) {
         AddSegment(t, d);
         const STimeValue half{300, 600};
         d.Model().AddVideoSegment(docsupport::MakeSegment(FourCC("avc1"), 0x300u), STimeValue{0, 600}, &half, nullptr);
     },
     [](UndoTest& t, CTambleDoc& d) {
         CVideoList* list = t.Timeline(d);
         // The boundary at 0.5 s, grabbed in the row above the boxes.
         const int x = list->GetPixelsPerSecond() / 2, y = 36;
         QWidget* view = list->viewport();
         QTest::mousePress(view, Qt::LeftButton, {}, list->ImageToFrame(QPoint(x, y)));
         for (int dx = 4; dx <= 16; dx += 4) QTest::mouseMove(view, list->ImageToFrame(QPoint(x + dx, y)));
         QTest::mouseRelease(view, Qt::LeftButton, {}, list->ImageToFrame(QPoint(x + 16, y)));
     }},
    {"Exclude Span", nullptr, ExcludeASpan},
    {"Add Sound Settings", nullptr, AddSound},
    {"Remove Sound Settings", AddSound, [](UndoTest& t, CTambleDoc& d) { DeleteInTimeline(t, d, CVideoList::kAudio); }},
    {"Sound Settings", AddSound,
     [](UndoTest&, CTambleDoc& d) {
         *d.Model().GetAudioSegment(1) = MakeSoundSettings(FourCC("sowt"), 1, 16, 22050);
         SetDescriptionTime(d.Model().GetAudioSegment(1), STimeValue{0, 600}, d.Model().GetDuration());
         d.Model().AudioSegmentChanged();
     }},
};

TEST_P(UndoTest, UndoPutsTheDocumentBackAndRedoMakesTheEditAgain) {
    const EditCase& edit = GetParam();
    CTambleDoc& doc = OpenActive(guitest::MovieWithSound());
    CTambleVideoDocModel& model = doc.Model();
    if (edit.prepare) edit.prepare(*this, doc);
    doc.History().BeginAction();  // the user turns to the next thing
    const CTambleDocModel::SSnapshot before = model.TakeSnapshot();
    edit.edit(*this, doc);
    const CTambleDocModel::SSnapshot after = model.TakeSnapshot();
    ASSERT_FALSE(after == before);
    EXPECT_EQ(MenuText(doc, cmd_Undo).toStdString(), "Undo " + edit.name);

    PressInWindow(doc, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(model.TakeSnapshot() == before);
    EXPECT_EQ(MenuText(doc, cmd_Redo).toStdString(), "Redo " + edit.name);

    PressInWindow(doc, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(model.TakeSnapshot() == after);
    EXPECT_TRUE(MenuText(doc, cmd_Redo).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(EveryEdit, UndoTest, ::testing::ValuesIn(kEdits), [](const auto& info) {
    std::string name = info.param.name;
    std::erase(name, ' ');
    return name;
});

using DocumentTest = guitest::DocumentTest;

// One document through Save, Undo, Revert and Save As: undoing back to the
// saved settings is unmodified; Revert asks, brings the saved settings back
// to the model and the controls, and forgets the steps; Save As moves the
// document to the new file.
TEST_F(DocumentTest, UndoRevertAndSaveAsFollowTheSavedSettings) {
    const fs::path movie = testsupport::ScratchCopy(guitest::MovieWithSound(), "saved.mov");
    CTambleDoc* doc = Open(movie);
    CEditHistory& history = doc->History();
    doc->ObeyCommand(cmd_RotateRight);
    history.BeginAction();
    doc->ObeyCommand(cmd_Save);
    doc->ObeyCommand(cmd_FlipVertical);
    history.BeginAction();
    // Playing and moving in time are no edits.
    doc->Model().StepFrames(1);
    doc->Model().GoToEnd();
    EXPECT_EQ(history.UndoName(), "Flip Vertically");
    doc->ObeyCommand(cmd_Undo);
    EXPECT_FALSE(doc->IsModified());
    doc->ObeyCommand(cmd_Undo);
    EXPECT_EQ(doc->Model().GetRotation(), 0);
    EXPECT_TRUE(doc->IsModified());
    doc->ObeyCommand(cmd_Redo);
    EXPECT_FALSE(doc->IsModified());

    // Revert.
    Pane(doc, "SCAL")->SetValue(1);
    TypeInto(Pane<QWidget>(doc, "WIDT"), QStringLiteral("320"));
    doc->ObeyCommand(cmd_Save);
    doc->ObeyCommand(cmd_FlipVertical);
    Pane(doc, "SCAL")->SetValue(0);
    dialogs.answers = {UModalAlerts::Answer::No, UModalAlerts::Answer::Yes};
    doc->ObeyCommand(cmd_Revert);
    EXPECT_TRUE(doc->Model().GetFlipVertical());
    doc->ObeyCommand(cmd_Revert);
    ASSERT_EQ(dialogs.alerts.size(), 2u);
    EXPECT_EQ(dialogs.alerts[1].caption, QStringLiteral("Revert"));
    EXPECT_EQ(dialogs.alerts[1].text, QStringLiteral("Revert to the last saved version of the document?"));
    EXPECT_FALSE(doc->Model().GetFlipVertical());
    EXPECT_EQ(doc->Model().GetRotation(), 90);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(history.CanUndo() || history.CanRedo());
    EXPECT_EQ(doc->Model().GetOutputWidth(), 320);
    EXPECT_EQ(Pane(doc, "SCAL")->GetValue(), 1);
    EXPECT_EQ(Pane(doc, "WIDT")->GetValue(), 320);
    EXPECT_TRUE(Pane<QWidget>(doc, "WIDT")->isEnabled());

    // Save As.
    const fs::path copy = movie.parent_path() / "copy.mov";
    doc->ObeyCommand(cmd_FlipHorizontal);
    dialogs.saveAnswers = {QString::fromStdString(copy.string())};
    doc->ObeyCommand(cmd_SaveAs);
    ASSERT_TRUE(fs::exists(copy));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetWindow()->windowFilePath().toStdString(), copy.string());
    EXPECT_FALSE(doc->GetWindow()->isWindowModified());
    app->OpenFileInWindow(testsupport::Spec(copy));
    EXPECT_EQ(LDocument::GetDocumentList().size(), 1u);
}

// A movie dropped from the file manager: a QMimeData of file URLs, as
// the desktop sends it.
bool DropFiles(QWidget* target, const std::vector<fs::path>& files) {
    QMimeData data;
    QList<QUrl> urls;
    for (const fs::path& file : files) urls << QUrl::fromLocalFile(QString::fromStdString(file.string()));
    data.setUrls(urls);
    const QPoint where(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(where, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(where), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();
    return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

TEST_F(DocumentTest, DroppedMoviesOpenAndOpenRecentListsTheLastOnes) {
    URecentFiles::Clear();
    const fs::path first = testsupport::ScratchCopy(guitest::MovieWithSound(), "first.mov");
    const fs::path second = first.parent_path() / "second.mov";
    const fs::path picture = first.parent_path() / "picture.png";
    fs::copy_file(first, second);
    QImage(8, 8, QImage::Format_RGB32).save(QString::fromStdString(picture.string()));

    // On the empty application's real open dialog, which offers movies and
    // any file: that movie is the one opened.
    UModalAlerts::SetOpenHook(nullptr);
    QTimer answer;
    QString filters;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            filters = dialog->nameFilters().join(QLatin1Char('|'));
            DropFiles(dialog, {first});
        }
    });
    answer.start(100);
    ASSERT_TRUE(LCommandMenus::Dispatch(cmd_Open, app.get()));
    answer.stop();
    CTambleDoc* doc = guitest::LastDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->UsesFileSpec(testsupport::Spec(first)));
    EXPECT_TRUE(filters.contains(QStringLiteral("*.mp4")) && filters.contains(QStringLiteral("(*)"))) << filters.toStdString();

    // On a pane that takes presets: the movie still opens, once.
    QWidget* timeline = Pane<CVideoList>(doc, "vcST")->viewport();
    EXPECT_TRUE(DropFiles(timeline, {second}));
    ASSERT_EQ(LDocument::GetDocumentList().size(), 2u);
    EXPECT_TRUE(DropFiles(doc->GetWindow(), {second, first}));
    EXPECT_FALSE(DropFiles(doc->GetWindow(), {picture}));
    EXPECT_EQ(LDocument::GetDocumentList().size(), 2u);
    EXPECT_TRUE(dialogs.alerts.empty());

    // Newest first, each once.
    EXPECT_EQ(URecentFiles::Files(),
              (QStringList{QString::fromStdString(first.string()), QString::fromStdString(second.string())}));
    QMenu menu;
    URecentFiles::FillMenu(&menu, [&](const QString& path) { app->OpenPathInWindow(path); });
    ASSERT_EQ(menu.actions().size(), 4);  // two movies, a line, Clear Menu
    EXPECT_TRUE(menu.actions()[0]->text().startsWith(QStringLiteral("first.mov")));
    doc->GetWindow()->close();
    ASSERT_TRUE(guitest::WaitFor([] { return LDocument::GetDocumentList().size() == 1; }));
    menu.actions()[0]->trigger();
    EXPECT_EQ(LDocument::GetDocumentList().size(), 2u);
    menu.actions().back()->trigger();
    EXPECT_TRUE(URecentFiles::Files().isEmpty());
}

}  // namespace
