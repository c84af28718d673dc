// The preset grid: geometry, reading the shared folder, the ten-second
// folder check, selection, deleting with and without asking, saving and
// copying presets, clicks.
#include <QKeyEvent>
#include <set>

#include "CatalogTestSupport.h"
#include "catalogs/CAudioCodecList.h"
#include "catalogs/CDoubleEffectsList.h"
#include "catalogs/CSingleEffectsList.h"
#include "catalogs/CVideoCodecList.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/VideoSettings.h"
#include "support/MouseEvents.h"

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

class FileList : public CatalogTest {
protected:
    void AddVideoPresets(int count) {
        for (int i = 1; i <= count; ++i)
            WriteFile(CodecFolder() / ("Preset " + std::to_string(i) + ".QTcd"), MakeVideoSettings(FourCC("avc1")));
    }
};

TEST_F(FileList, GridGeometryFollowsTheFrameWidthAndCellsShowTheirPictures) {
    EXPECT_EQ(CFileListBase::ColumnsForWidth(109), 1);  // never no column at all
    AddVideoPresets(7);
    auto w = MakeVideoWindow(QSize(330, 300));
    w->Show();
    w->list->Reload();
    ASSERT_EQ(w->list->CountItems(), 7);
    EXPECT_EQ(std::pair(w->list->GetColumns(), w->list->GetRows()), std::pair(3, 3));
    EXPECT_EQ(w->list->GetImageSize(), QSize(366, 258));
    // Cell 5 is the middle of the second row; its first 12 pixels are margin.
    for (auto [point, cell] : {std::pair{QPoint(130, 100), 0}, {QPoint(134, 94), 5}, {QPoint(243, 163), 5},
                               {QPoint(250, 190), 0}})  // below the last row's cells in column 3 there is none
        EXPECT_EQ(w->list->CellAt(point), cell);
    const QImage shot = w->list->viewport()->grab().toImage();
    std::set<QRgb> colours, margin;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 110; ++x) colours.insert(shot.pixel(12 + x, 12 + y));
    for (int y = 1; y < 11; ++y)
        for (int x = 1; x < 11; ++x) margin.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 8u) << "a cell with its picture";
    EXPECT_LT(margin.size(), 3u) << "the margin is plain";
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
    ListWindow<CAudioCodecList> audio(kNewAudioPresetButton, kEditAudioPresetButton, kDeleteAudioPresetButton);
    ListWindow<CDoubleEffectsList> transitions(kNewEffectPresetButton, kEditEffectPresetButton, kDeleteEffectPresetButton);
    ListWindow<CSingleEffectsList> filters(kNewEffectPresetButton, kEditEffectPresetButton, kDeleteEffectPresetButton);
    using Names_ = std::vector<std::string>;
    for (auto [list, names] : {std::pair<CFileListBase*, Names_>{video->list, {"a video.QTcd", "d lower case.qtcd", "e nested.QTcd"}},
                               {audio.list, {"b sound.QTac"}},
                               {transitions.list, {"c transition.QTfx"}},
                               {filters.list, {"f blur.QTfx"}}}) {
        list->Reload();
        EXPECT_EQ(Names(*list), names);
    }
}

TEST_F(FileList, TheFolderIsLookedForAtOnceAndThenEveryTenSeconds) {
    auto w = MakeVideoWindow();
    const uint32_t start = TickCount();
    EXPECT_EQ(w->list->TicksUntilCheck(), 0u);  // the first idle pass reads the folder
    w->list->SpendTime(IdleAt(start));
    EXPECT_EQ(w->list->CountItems(), 0);  // missing: an empty grid
    AddVideoPresets(1);
    w->list->SpendTime(IdleAt(start + kFolderCheckTicks - 1));
    EXPECT_EQ(w->list->CountItems(), 0) << "looked again too soon";
    w->list->SpendTime(IdleAt(start + kFolderCheckTicks));
    EXPECT_EQ(w->list->CountItems(), 1);
    // A file copied in by other means appears at the next check.
    fs::copy_file(CodecFolder() / "Preset 1.QTcd", CodecFolder() / "Copied.QTcd");
    w->list->SpendTime(IdleAt(start + kFolderCheckTicks + 1));
    EXPECT_EQ(w->list->CountItems(), 1);
    w->list->SpendTime(IdleAt(start + 2 * kFolderCheckTicks));
    EXPECT_EQ(w->list->CountItems(), 2);
}

// Buttons and commands follow the selection; deleting asks by name (the
// Delete button does not) and moves the selection to the next cell or, at
// the end, the previous.
TEST_F(FileList, DeletingFollowsTheSelectionAsksByNameAndMovesTheSelection) {
    AddVideoPresets(4);
    auto w = MakeVideoWindow();
    w->list->Reload();
    auto enabled = [&](CommandT command) {
        SCommandStatus status;
        w->list->ProcessCommandStatus(command, status);
        return status.enabled;
    };
    EXPECT_FALSE(w->editButton->isEnabled() || w->deleteButton->isEnabled() || enabled(cmd_Clear));
    const FSSpec first = w->list->GetItem(1), second = w->list->GetItem(2), third = w->list->GetItem(3);
    w->list->SelectItem(second);
    EXPECT_TRUE(w->editButton->isEnabled() && w->deleteButton->isEnabled() && enabled(cmd_Clear));
    alertAnswer = UModalAlerts::Answer::No;
    EXPECT_FALSE(w->list->DeleteSelection(true));
    ASSERT_TRUE(UModalAlerts::LastAlert().has_value());
    EXPECT_EQ(UModalAlerts::LastAlert()->buttons, UModalAlerts::Buttons::YesNo);
    EXPECT_TRUE(UModalAlerts::LastAlert()->text.contains(QStringLiteral("\"Preset 2\"")));
    EXPECT_TRUE(UModalAlerts::LastAlert()->text.contains(QStringLiteral("\"Presets\"")));
    EXPECT_TRUE(fs::exists(second.Path()));
    EXPECT_EQ(w->list->GetSelection(), second);
    alertAnswer = UModalAlerts::Answer::Yes;
    w->list->SelectItem(w->list->GetItem(4));
    for (int key : {Qt::Key_Delete, Qt::Key_Backspace}) {  // both keys ask first
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(w->list, &event);
    }
    EXPECT_EQ(alertsShown, 3);
    EXPECT_FALSE(fs::exists(third.Path()));
    EXPECT_EQ(w->list->GetSelection(), second) << "the last cell's file went: the one before is selected";
    w->list->SelectItem(first);
    w->deleteButton->click();
    EXPECT_EQ(alertsShown, 3);
    EXPECT_EQ(w->list->GetSelection(), second) << "the next cell's file is selected";
    EXPECT_TRUE(w->list->ObeyCommand(cmd_SelectNone));
    EXPECT_FALSE(w->editButton->isEnabled() || w->deleteButton->isEnabled());
    w->list->SelectItem(second);
    ASSERT_TRUE(w->list->DeleteSelection(true));
    EXPECT_FALSE(w->list->GetSelection().IsSet()) << "the only file went: nothing is selected";
    EXPECT_TRUE(fs::is_empty(CodecFolder()));
    EXPECT_EQ(w->list->TicksUntilCheck(), 0u) << "the next idle pass reads the folder again";
}

TEST_F(FileList, SaveAndCopyPresetGiveTheExtensionAndReplaceAnOldFile) {
    auto w = MakeVideoWindow();
    FSSpec file;
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

    const fs::path outside = AppFolder() / "Elsewhere" / "Shared.QTcd";
    WriteFile(outside, MakeVideoSettings(FourCC("png ")));
    WriteFile(CodecFolder() / "Shared.QTcd", MakeVideoSettings(FourCC("jpeg")));
    ASSERT_TRUE(w->list->CopyPreset(Spec(outside)));
    EXPECT_EQ(ReadFile(CodecFolder() / "Shared.QTcd"), ReadFile(outside));
}

TEST_F(FileList, ClickSelectsAndDoubleClickEdits) {
    AddVideoPresets(2);
    auto w = MakeVideoWindow();
    w->Show();
    w->list->Reload();
    QWidget* frame = w->list->viewport();
    const QPoint second = w->list->CellActiveRect(2).center();
    SendMouse(frame, QEvent::MouseButtonPress, second);
    SendMouse(frame, QEvent::MouseButtonRelease, second);
    EXPECT_EQ(w->list->GetSelection(), w->list->GetItem(2));
    EXPECT_EQ(dialogsShown, 0);
    SendMouse(frame, QEvent::MouseButtonDblClick, second);
    SendMouse(frame, QEvent::MouseButtonRelease, second);
    EXPECT_EQ(dialogsShown, 1) << "a double click opens the preset's settings";
    EXPECT_TRUE(drags.empty()) << "a click is no drag";
}

}  // namespace
