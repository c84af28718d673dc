// The preset grid: geometry, reading the shared folder, the folder check,
// selection, deleting with and without asking, saving and copying presets,
// clicks and drags.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <cstring>

#include "CatalogTestSupport.h"
#include "catalogs/CAudioCodecList.h"
#include "catalogs/CDoubleEffectsList.h"
#include "catalogs/CSingleEffectsList.h"
#include "catalogs/CVideoCodecList.h"
#include "framework/LEventLoop.h"
#include "framework/gui/DragFlavors.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/VideoSettings.h"

using namespace cattest;

namespace {

using VideoWindow = ListWindow<CVideoCodecList>;

std::unique_ptr<VideoWindow> MakeVideoWindow(QSize size = QSize(366, 300)) {
    return std::make_unique<VideoWindow>(kNewVideoPresetButton, kEditVideoPresetButton, kDeleteVideoPresetButton, size);
}

std::vector<std::string> Names(const CFileListBase& list) {
    std::vector<std::string> names;
    for (int32_t i = 1; i <= list.CountItems(); ++i) names.push_back(list.GetItem(i).FileName(true));
    return names;
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint where, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(where), target->mapToGlobal(QPointF(where)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void SendKey(QWidget* target, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

class FileList : public CatalogTest {
protected:
    void AddVideoPresets(int count) {
        for (int i = 1; i <= count; ++i)
            WriteFile(CodecFolder() / ("Preset " + std::to_string(i) + ".QTcd"), MakeVideoSettings(FourCC("avc1")));
    }
};

}  // namespace

TEST_F(FileList, GridGeometryFollowsTheFrameWidth) {
    EXPECT_EQ(CFileListBase::ColumnsForWidth(330), 3);
    EXPECT_EQ(CFileListBase::ColumnsForWidth(109), 1);  // never no column at all
    EXPECT_EQ(CFileListBase::RowsFor(7, 3), 3);
    EXPECT_EQ(CFileListBase::RowsFor(0, 3), 0);

    AddVideoPresets(7);
    auto w = MakeVideoWindow(QSize(330, 300));
    w->Show();
    w->list->Reload();
    ASSERT_EQ(w->list->CountItems(), 7);
    EXPECT_EQ(w->list->GetColumns(), 3);
    EXPECT_EQ(w->list->GetRows(), 3);
    EXPECT_EQ(w->list->GetImageSize(), QSize(366, 258));

    // Cell 5 is the middle of the second row; its first 12 pixels are margin.
    EXPECT_EQ(w->list->CellBox(5), QRect(122, 82, 122, 82));
    EXPECT_EQ(w->list->CellActiveRect(5), QRect(134, 94, 110, 70));
    EXPECT_EQ(w->list->CellAt(QPoint(130, 100)), 0);
    EXPECT_EQ(w->list->CellAt(QPoint(134, 94)), 5);
    EXPECT_EQ(w->list->CellAt(QPoint(243, 163)), 5);
    EXPECT_EQ(w->list->CellAt(QPoint(250, 190)), 0);  // below the last row's cells in column 3 there is none

    w->list->setFixedSize(500, 300);
    QApplication::processEvents();
    EXPECT_EQ(w->list->GetColumns(), 4);
    EXPECT_EQ(w->list->GetImageSize(), QSize(488, 176));
}

TEST_F(FileList, EachListShowsOnlyItsOwnKind) {
    WriteFile(CodecFolder() / "a video.QTcd", MakeVideoSettings(FourCC("jpeg")));
    WriteFile(CodecFolder() / "b sound.QTac", MakeSoundSettings(FourCC("aac "), 2, 16, 0));
    WriteFile(CodecFolder() / "c transition.QTfx", MakeEffectDescription(FourCC("dslv")));
    WriteFile(CodecFolder() / "d lower case.qtcd", MakeVideoSettings(FourCC("jpeg")));
    WriteFile(CodecFolder() / "no extension", MakeVideoSettings(FourCC("jpeg")));
    WriteFile(CodecFolder() / "notes.txt", Handle("x", 1));
    WriteFile(CodecFolder() / "Nested" / "e nested.QTcd", MakeVideoSettings(FourCC("jpeg")));
    WriteFile(FilterFolder() / "f blur.QTfx", MakeEffectDescription(FourCC("blur")));

    auto video = MakeVideoWindow();
    video->list->Reload();
    EXPECT_EQ(Names(*video->list), (std::vector<std::string>{"a video.QTcd", "d lower case.qtcd", "e nested.QTcd"}));

    ListWindow<CAudioCodecList> audio(kNewAudioPresetButton, kEditAudioPresetButton, kDeleteAudioPresetButton);
    audio.list->Reload();
    EXPECT_EQ(Names(*audio.list), std::vector<std::string>{"b sound.QTac"});

    ListWindow<CDoubleEffectsList> transitions(kNewEffectPresetButton, kEditEffectPresetButton, kDeleteEffectPresetButton);
    transitions.list->Reload();
    EXPECT_EQ(Names(*transitions.list), std::vector<std::string>{"c transition.QTfx"});

    ListWindow<CSingleEffectsList> filters(kNewEffectPresetButton, kEditEffectPresetButton, kDeleteEffectPresetButton);
    filters.list->Reload();
    EXPECT_EQ(Names(*filters.list), std::vector<std::string>{"f blur.QTfx"});
}

TEST_F(FileList, AMissingFolderLeavesTheGridEmptyAndIsLookedForAgain) {
    auto w = MakeVideoWindow();
    EXPECT_EQ(w->list->TicksUntilCheck(), 0u);  // the first idle pass reads the folder
    w->list->SpendTime(EventRecord{});
    EXPECT_EQ(w->list->CountItems(), 0);
    EXPECT_EQ(w->list->GetFolderDate(), 0u);
    EXPECT_GT(w->list->TicksUntilCheck(), 0u);
    EXPECT_LE(w->list->TicksUntilCheck(), kFolderCheckTicks);

    AddVideoPresets(2);
    w->list->ReloadSoon();
    w->list->SpendTime(EventRecord{});
    EXPECT_EQ(w->list->CountItems(), 2);
    EXPECT_NE(w->list->GetFolderDate(), 0u);
}

TEST_F(FileList, AFileCopiedInByOtherMeansAppearsWithinTenSeconds) {
    AddVideoPresets(1);
    LEventLoop loop;
    auto w = MakeVideoWindow();
    w->Show();

    auto waitFor = [](const std::function<bool()>& done, int milliseconds) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < milliseconds) {
            QEventLoop pause;
            QTimer::singleShot(50, &pause, &QEventLoop::quit);
            pause.exec();
        }
        return clock.elapsed();
    };
    waitFor([&] { return w->list->CountItems() == 1; }, 3000);
    ASSERT_EQ(w->list->CountItems(), 1) << "the first idle pass reads the folder";

    fs::copy_file(CodecFolder() / "Preset 1.QTcd", CodecFolder() / "Copied.QTcd");
    const qint64 waited = waitFor([&] { return w->list->CountItems() == 2; }, 12000);
    EXPECT_EQ(w->list->CountItems(), 2);
    EXPECT_LE(waited, 10500);
}

TEST_F(FileList, DeletingMovesTheSelectionToTheNextOrThePreviousCell) {
    AddVideoPresets(3);
    auto w = MakeVideoWindow();
    w->list->Reload();
    const FSSpec first = w->list->GetItem(1), second = w->list->GetItem(2), third = w->list->GetItem(3);

    w->list->SelectItem(third);
    ASSERT_TRUE(w->list->DeleteSelection(true));
    EXPECT_EQ(alertsShown, 1);
    EXPECT_FALSE(fs::exists(third.Path()));
    EXPECT_EQ(w->list->GetSelection(), second) << "the last cell's file went: the one before is selected";

    w->list->SelectItem(first);
    ASSERT_TRUE(w->list->DeleteSelection(true));
    EXPECT_EQ(w->list->GetSelection(), second) << "the next cell's file is selected";
    ASSERT_TRUE(w->list->DeleteSelection(true));
    EXPECT_FALSE(w->list->GetSelection().IsSet()) << "the only file went: nothing is selected";
    EXPECT_EQ(w->list->CountItems(), 0);
    EXPECT_EQ(w->list->TicksUntilCheck(), 0u) << "the next idle pass reads the folder again";
}

TEST_F(FileList, TheQuestionNamesTheFileAndFolderAndNoKeepsThePreset) {
    AddVideoPresets(2);
    auto w = MakeVideoWindow();
    w->list->Reload();
    w->list->SelectItem(w->list->GetItem(2));

    alertAnswer = UModalAlerts::Answer::No;
    EXPECT_FALSE(w->list->DeleteSelection(true));
    ASSERT_TRUE(UModalAlerts::LastAlert().has_value());
    EXPECT_EQ(UModalAlerts::LastAlert()->buttons, UModalAlerts::Buttons::YesNo);
    EXPECT_TRUE(UModalAlerts::LastAlert()->text.contains(QStringLiteral("\"Preset 2\"")));
    EXPECT_TRUE(UModalAlerts::LastAlert()->text.contains(QStringLiteral("\"Presets\"")));
    EXPECT_TRUE(fs::exists(CodecFolder() / "Preset 2.QTcd"));
    EXPECT_EQ(w->list->CountItems(), 2);
    EXPECT_EQ(w->list->GetSelection(), w->list->GetItem(2));
}

TEST_F(FileList, DeleteKeysAskFirstTheDeleteButtonDoesNot) {
    AddVideoPresets(3);
    auto w = MakeVideoWindow();
    w->list->Reload();

    w->list->SelectItem(w->list->GetItem(1));
    SendKey(w->list, Qt::Key_Delete);
    EXPECT_EQ(alertsShown, 1);
    EXPECT_EQ(w->list->CountItems(), 2);
    SendKey(w->list, Qt::Key_Backspace);
    EXPECT_EQ(alertsShown, 2);
    EXPECT_EQ(w->list->CountItems(), 1);

    w->deleteButton->click();
    EXPECT_EQ(alertsShown, 2);
    EXPECT_EQ(w->list->CountItems(), 0);
    EXPECT_TRUE(fs::is_empty(CodecFolder()));
}

TEST_F(FileList, ButtonsAndCommandsFollowTheSelection) {
    AddVideoPresets(2);
    auto w = MakeVideoWindow();
    w->list->Reload();
    auto enabled = [&](CommandT command) {
        SCommandStatus status;
        w->list->ProcessCommandStatus(command, status);
        return status.enabled;
    };
    EXPECT_TRUE(w->newButton->isEnabled());
    EXPECT_FALSE(w->editButton->isEnabled());
    EXPECT_FALSE(w->deleteButton->isEnabled());
    EXPECT_FALSE(enabled(cmd_Clear));

    w->list->SelectItem(w->list->GetItem(2));
    EXPECT_TRUE(w->editButton->isEnabled());
    EXPECT_TRUE(w->deleteButton->isEnabled());
    EXPECT_TRUE(enabled(cmd_Clear));
    EXPECT_TRUE(enabled(cmd_ItemInfo));
    EXPECT_FALSE(enabled(cmd_PlayItem)) << "no catalog plays its presets";

    EXPECT_TRUE(w->list->ObeyCommand(cmd_SelectNone));
    EXPECT_FALSE(w->list->GetSelection().IsSet());
    EXPECT_FALSE(w->editButton->isEnabled());
    EXPECT_FALSE(w->deleteButton->isEnabled());
}

TEST_F(FileList, AMissingButtonThrowsTheNilPointerError) {
    QWidget window;
    auto* list = new CVideoCodecList(&window);
    auto* button = new LPushButton(&window);
    button->setObjectName(PaneName(kNewVideoPresetButton));
    try {
        list->FinishCreate();
        FAIL() << "finishing without 'cEDT' and 'cDEL' must throw";
    } catch (const LException& e) {
        EXPECT_EQ(e.Code(), err_NilPointer);
    }
}

TEST_F(FileList, SavePresetGivesTheExtensionAndReplacesAnOldFile) {
    auto w = MakeVideoWindow();
    FSSpec file;
    savePath.reset();
    EXPECT_FALSE(w->list->SavePreset(file, kVideoPresetType));
    EXPECT_TRUE(fs::is_directory(CodecFolder())) << "the folder is made before the dialog opens";

    savePath = QString::fromStdString((CodecFolder() / "Small").string());
    ASSERT_TRUE(w->list->SavePreset(file, kVideoPresetType));
    EXPECT_EQ(file.Path(), (CodecFolder() / "Small.QTcd").string());

    WriteFile(CodecFolder() / "Old.qtcd", MakeVideoSettings(FourCC("jpeg")));
    savePath = QString::fromStdString((CodecFolder() / "Old.qtcd").string());
    ASSERT_TRUE(w->list->SavePreset(file, kVideoPresetType));
    EXPECT_EQ(file.Path(), (CodecFolder() / "Old.qtcd").string()) << "an extension in any case is kept";
    EXPECT_FALSE(fs::exists(CodecFolder() / "Old.qtcd")) << "the old file is deleted first";
}

TEST_F(FileList, CopyPresetReplacesAFileOfTheSameName) {
    const fs::path outside = AppFolder() / "Elsewhere" / "Shared.QTcd";
    WriteFile(outside, MakeVideoSettings(FourCC("png ")));
    WriteFile(CodecFolder() / "Shared.QTcd", MakeVideoSettings(FourCC("jpeg")));
    auto w = MakeVideoWindow();
    ASSERT_TRUE(w->list->CopyPreset(Spec(outside)));
    EXPECT_EQ(ReadFile(CodecFolder() / "Shared.QTcd"), ReadFile(outside));
    EXPECT_FALSE(w->list->CopyPreset(FSSpec()));
}

TEST_F(FileList, ClickSelectsDoubleClickEditsAndDraggingHandsOverTheRecord) {
    AddVideoPresets(2);
    auto w = MakeVideoWindow();
    w->Show();
    w->list->Reload();
    QWidget* frame = w->list->viewport();
    const QPoint second = w->list->CellActiveRect(2).center();

    SendMouse(frame, QEvent::MouseButtonPress, second, Qt::LeftButton);
    SendMouse(frame, QEvent::MouseButtonRelease, second, Qt::NoButton);
    EXPECT_EQ(w->list->GetSelection(), w->list->GetItem(2));
    EXPECT_EQ(dialogsShown, 0);

    SendMouse(frame, QEvent::MouseButtonDblClick, second, Qt::LeftButton);
    SendMouse(frame, QEvent::MouseButtonRelease, second, Qt::NoButton);
    EXPECT_EQ(dialogsShown, 1) << "a double click opens the preset's settings";

    const QPoint first = w->list->CellActiveRect(1).center();
    SendMouse(frame, QEvent::MouseButtonPress, first, Qt::LeftButton);
    SendMouse(frame, QEvent::MouseMove, first + QPoint(30, 20), Qt::LeftButton);
    SendMouse(frame, QEvent::MouseButtonRelease, first + QPoint(30, 20), Qt::NoButton);
    ASSERT_EQ(drags.size(), 1u);
    EXPECT_EQ(drags[0].mimeType, QStringLiteral("application/x-movelark-QTcd"));
    ASSERT_EQ(drags[0].data.size(), 272);
    EXPECT_EQ(drags[0].data.left(10), QByteArray(10, '\0'));
    FSSpec carried;
    std::memcpy(&carried, drags[0].data.constData() + 10, sizeof carried);
    EXPECT_EQ(carried, w->list->GetItem(1));
}
