// A preset made in the settings dialog, edited and dragged out comes back
// byte for byte through its file; write failures are reported.
#include <QMouseEvent>
#include <QSlider>

#include "CatalogTestSupport.h"
#include "catalogs/CAudioCodecList.h"
#include "catalogs/CDoubleEffectsList.h"
#include "catalogs/CVideoCodecList.h"
#include "catalogs/SoundSettingsDialog.h"
#include "catalogs/VideoSettingsDialog.h"
#include "platform/media/AtomContainer.h"

using namespace cattest;

namespace {

void DragFirstCell(CFileListBase& list) {
    QWidget* frame = list.viewport();
    const QPoint from = list.CellActiveRect(1).center();
    auto send = [&](QEvent::Type type, QPoint where, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(where), frame->mapToGlobal(QPointF(where)), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(frame, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton);
    send(QEvent::MouseMove, from + QPoint(40, 0), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, from + QPoint(40, 0), Qt::NoButton);
}

class PresetRoundTrip : public CatalogTest {};

}  // namespace

TEST_F(PresetRoundTrip, AVideoPresetMadeEditedAndDraggedKeepsItsBytes) {
    ListWindow<CVideoCodecList> w(kNewVideoPresetButton, kEditVideoPresetButton, kDeleteVideoPresetButton);
    w.Show();
    dialogHandler = [](QDialog& dialog) {
        auto* video = dynamic_cast<VideoSettingsDialog*>(&dialog);
        if (video == nullptr || !video->SelectCodec(FourCC("jpeg"))) return false;
        video->QualitySlider()->setValue(0x300);
        return true;
    };
    savePath = QString::fromStdString((CodecFolder() / "Sharp JPEG").string());
    w.newButton->click();
    const fs::path file = CodecFolder() / "Sharp JPEG.QTcd";
    ASSERT_TRUE(fs::exists(file));
    const Handle made = ReadFile(file);
    EXPECT_EQ(VideoSettings::FromHandle(made).spatialQuality, 0x300);

    w.list->SpendTime(IdleAt());  // the grid reloads on the next idle pass
    ASSERT_EQ(w.list->CountItems(), 1);
    w.list->SelectItem(w.list->GetItem(1));
    dialogHandler = [](QDialog&) { return true; };  // confirmed as it stands
    w.editButton->click();
    EXPECT_EQ(ReadFile(file), made);

    DragFirstCell(*w.list);
    ASSERT_EQ(drags.size(), 1u);
    EXPECT_EQ(drags[0].mimeType, QStringLiteral("application/x-movelark-QTcd"));
    Handle dropped;
    ASSERT_TRUE(ReadPresetFile(CarriedFile(drags[0].data), dropped));
    EXPECT_EQ(dropped, made);
}

TEST_F(PresetRoundTrip, ASoundPresetKeepsItsBytes) {
    ListWindow<CAudioCodecList> audio(kNewAudioPresetButton, kEditAudioPresetButton, kDeleteAudioPresetButton);
    dialogHandler = [](QDialog& dialog) {
        auto* sound = dynamic_cast<SoundSettingsDialog*>(&dialog);
        return sound != nullptr && sound->SelectFormat(FourCC("twos"));
    };
    savePath = QString::fromStdString((CodecFolder() / "PCM").string());
    audio.newButton->click();
    const fs::path file = CodecFolder() / "PCM.QTac";
    ASSERT_TRUE(fs::exists(file));
    const Handle made = ReadFile(file);

    audio.list->Reload();
    ASSERT_EQ(audio.list->CountItems(), 1);

    dialogHandler = [](QDialog&) { return true; };
    audio.list->EditPreset(audio.list->GetItem(1));
    EXPECT_EQ(ReadFile(file), made);
}

TEST_F(PresetRoundTrip, APresetThatCannotBeWrittenIsReportedWithTheListsError) {
    ListWindow<CVideoCodecList> video(kNewVideoPresetButton, kEditVideoPresetButton, kDeleteVideoPresetButton);
    ListWindow<CAudioCodecList> audio(kNewAudioPresetButton, kEditAudioPresetButton, kDeleteAudioPresetButton);
    ListWindow<CDoubleEffectsList> transitions(kNewEffectPresetButton, kEditEffectPresetButton, kDeleteEffectPresetButton);
    dialogHandler = [](QDialog&) { return true; };
    savePath = QString::fromStdString((AppFolder() / "missing folder" / "X").string());
    for (auto [button, error] : {std::pair<LPushButton*, const char*>{video.newButton, "The preset could not be saved"},
                                 {audio.newButton, "The audio codec preset could not be saved"},
                                 {transitions.newButton, "The preset could not be saved"}}) {
        UModalAlerts::ClearLastAlert();
        button->click();
        ASSERT_TRUE(UModalAlerts::LastAlert().has_value()) << error;
        EXPECT_TRUE(UModalAlerts::LastAlert()->text.startsWith(QString::fromUtf8(error))) << error;
    }
    EXPECT_EQ(video.list->CountItems(), 0);
}

TEST_F(PresetRoundTrip, CancellingTheDialogOrTheNameChangesNothing) {
    ListWindow<CVideoCodecList> w(kNewVideoPresetButton, kEditVideoPresetButton, kDeleteVideoPresetButton);
    dialogHandler = [](QDialog&) { return false; };
    w.newButton->click();
    EXPECT_EQ(saveDialogsShown, 0) << "no name is asked for after a cancelled dialog";
    dialogHandler = [](QDialog&) { return true; };
    savePath.reset();
    w.newButton->click();
    EXPECT_EQ(saveDialogsShown, 1);
    EXPECT_TRUE(!fs::exists(CodecFolder()) || fs::is_empty(CodecFolder()));
}
