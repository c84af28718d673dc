// A preset made in its list's settings dialog, edited and dragged out comes
// back byte for byte through its file; write failures are reported.
#include <QSlider>

#include "CatalogTestSupport.h"
#include "catalogs/CAudioCodecList.h"
#include "catalogs/CSingleEffectsList.h"
#include "catalogs/CVideoCodecList.h"
#include "catalogs/EffectParameterDialog.h"
#include "catalogs/SoundSettingsDialog.h"
#include "catalogs/VideoSettingsDialog.h"
#include "platform/media/AtomContainer.h"
#include "support/MouseEvents.h"

using namespace cattest;

namespace {

// Answers a settings dialog of type `Dialog` after `edit` has set it up.
template <class Dialog>
std::function<bool(QDialog&)> With(std::function<bool(Dialog&)> edit) {
    return [edit](QDialog& dialog) {
        auto* typed = dynamic_cast<Dialog*>(&dialog);
        return typed != nullptr && edit(*typed);
    };
}

class PresetRoundTrip : public CatalogTest {
protected:
    // Makes a preset "Made" in `folder` with the New button and the dialog
    // set up by `make`; confirms it unchanged, cancels an edit, changes it
    // with `change` and drags it out; `made` is what the file first held.
    template <class List>
    void MakeEditAndDrag(PaneIDT newID, PaneIDT editID, PaneIDT deleteID, const fs::path& folder,
                         const std::string& extension, std::function<bool(QDialog&)> make,
                         std::function<bool(QDialog&)> change, Handle& made) {
        ListWindow<List> w(newID, editID, deleteID);
        w.Show();
        drags.clear();
        dialogHandler = make;
        savePath = QString::fromStdString((folder / "Made").string());
        w.newButton->click();
        const fs::path file = folder / ("Made" + extension);
        ASSERT_TRUE(fs::exists(file)) << file;
        made = ReadFile(file);
        w.list->SpendTime(IdleAt());  // the grid reloads on the next idle pass
        EXPECT_EQ(w.list->CountItems(), 1);
        w.list->SelectItem(w.list->GetItem(1));
        for (bool confirmed : {true, false}) {
            dialogHandler = [confirmed](QDialog&) { return confirmed; };  // as it stands
            w.editButton->click();
            EXPECT_EQ(ReadFile(file), made) << (confirmed ? "confirmed" : "cancelled");
        }
        const QPoint cell = w.list->CellActiveRect(1).center();
        DragThrough(w.list->viewport(), {cell, cell + QPoint(40, 0)});
        ASSERT_EQ(drags.size(), 1u);
        EXPECT_EQ(drags[0].mimeType, QString::fromStdString("application/x-movelark-" + extension.substr(1)));
        EXPECT_EQ(std::max(dragImage.width(), dragImage.height()), 64) << "the list's picture goes under the mouse";
        Handle dropped;
        EXPECT_TRUE(ReadPresetFile(CarriedFile(drags[0].data), dropped));
        EXPECT_EQ(dropped, made);
        dialogHandler = change;
        w.editButton->click();
        EXPECT_NE(ReadFile(file), made) << "a changed edit was not written";
    }
};

}  // namespace

TEST_F(PresetRoundTrip, EachListMakesEditsAndDragsItsPresetsKeepingTheBytes) {
    Handle made;
    {
        SCOPED_TRACE("video");
        MakeEditAndDrag<CVideoCodecList>(
            kNewVideoPresetButton, kEditVideoPresetButton, kDeleteVideoPresetButton, CodecFolder(), ".QTcd",
            With<VideoSettingsDialog>([](VideoSettingsDialog& d) {
                d.QualitySlider()->setValue(0x300);
                return d.SelectCodec(FourCC("jpeg"));
            }),
            With<VideoSettingsDialog>([](VideoSettingsDialog& d) {
                d.QualitySlider()->setValue(0x100);
                return true;
            }),
            made);
        EXPECT_EQ(VideoSettings::FromHandle(made).spatialQuality, 0x300);
    }
    {
        SCOPED_TRACE("sound");
        MakeEditAndDrag<CAudioCodecList>(
            kNewAudioPresetButton, kEditAudioPresetButton, kDeleteAudioPresetButton, CodecFolder(), ".QTac",
            With<SoundSettingsDialog>([](SoundSettingsDialog& d) { return d.SelectFormat(FourCC("twos")); }),
            With<SoundSettingsDialog>([](SoundSettingsDialog& d) { return d.SelectFormat(FourCC("sowt")); }), made);
        EXPECT_EQ(SoundSettings::FromHandle(made).compressionType, FourCC("twos"));
    }
    {
        SCOPED_TRACE("filter");
        MakeEditAndDrag<CSingleEffectsList>(
            kNewEffectPresetButton, kEditEffectPresetButton, kDeleteEffectPresetButton, FilterFolder(), ".QTfx",
            With<EffectParameterDialog>([](EffectParameterDialog& d) {
                return d.SelectEffect(FourCC("tint")) && d.SetParameter(FourCC("tint"), 2);
            }),
            With<EffectParameterDialog>([](EffectParameterDialog& d) { return d.SetParameter(FourCC("tint"), 0); }),
            made);
        EXPECT_EQ(AtomContainer::Parse(made).Root().FindChildByID(FourCC("tint"), 1)->S32(), 2);
    }
}

TEST_F(PresetRoundTrip, APresetThatCannotBeWrittenIsReportedWithTheListsError) {
    ListWindow<CVideoCodecList> video(kNewVideoPresetButton, kEditVideoPresetButton, kDeleteVideoPresetButton);
    ListWindow<CAudioCodecList> audio(kNewAudioPresetButton, kEditAudioPresetButton, kDeleteAudioPresetButton);
    dialogHandler = [](QDialog&) { return true; };
    savePath = QString::fromStdString((AppFolder() / "missing folder" / "X").string());
    for (auto [button, error] : {std::pair<LPushButton*, const char*>{video.newButton, "The preset could not be saved"},
                                 {audio.newButton, "The audio codec preset could not be saved"}}) {
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
