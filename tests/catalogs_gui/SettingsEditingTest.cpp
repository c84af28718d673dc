// The settings dialogs and EditVideoSettings / EditAudioSettings: what they
// refuse, what they write, what they leave alone (the codec's own settings
// survive edits, and only what changed is written), the quality figure and
// the preview.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>

#include "CatalogTestSupport.h"
#include "catalogs/CompressionSettingsEditing.h"
#include "catalogs/SoundSettingsDialog.h"
#include "catalogs/VideoSettingsDialog.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/SoundTypeTable.h"
#include "platform/media/encode/VideoCodecTable.h"

using namespace cattest;

namespace {

// A preset as another program version might have left it: the dialog's
// atoms with a few bytes more, a 'vide' child the dialog does not know,
// and the application's own top-level atoms.
Handle RichVideoSettings() {
    AtomContainer c;
    QTAtomNode& video = c.InsertParent(FourCC("vide"), 1);
    QTAtomNode& spatial = video.InsertChild(FourCC("sptl"), 1, nullptr, 0);
    spatial.SetU32(0, FourCC("avc1"));
    spatial.SetU32(4, FourCC("appl"));
    spatial.SetU16(8, 24);
    spatial.SetU32(10, 0x200);
    spatial.SetU16(14, 0xBEEF);  // past the known layout
    QTAtomNode& temporal = video.InsertChild(FourCC("tprl"), 1, nullptr, 0);
    temporal.SetU32(0, 0x200);
    temporal.SetU32(4, 25u << 16);
    temporal.SetU32(8, 50);
    video.InsertChildText(FourCC("xopt"), 1, "preset=fast\ntune=film\n");
    video.InsertChildText(FourCC("xxxx"), 1, "kept as it is");
    c.Root().InsertChildText(FourCC("Edsc"), 1, "My H.264");
    c.Root().InsertChild(FourCC("Etim"), 1, "\0\0\0\1\0\0\2\x58\0\0\0\0\0\0\0\0", 16);
    return c.ToHandle();
}

Handle AacWithPrivateSettings() {
    AtomContainer c = AtomContainer::Parse(MakeSoundSettings(FourCC("aac "), 2, 16, 44100));
    c.Find(FourCC("soun"))->InsertChildText(FourCC("ssxx"), 1, "something the dialog does not know");
    c.Root().InsertChildText(FourCC("CSTa"), 1, "bitrate=128000\naac_coder=fast\n");
    c.Root().InsertChildText(FourCC("Edsc"), 1, "Voice");
    return c.ToHandle();
}

Handle WithMarker(Handle settings, OSType marker) {
    AtomContainer c = AtomContainer::Parse(settings);
    c.Insert(marker, 1, nullptr, 0);
    return c.ToHandle();
}

class SettingsEditing : public CatalogTest {
protected:
    // Run the editor with the dialog set up by `edit`, accepted.
    bool EditVideo(Handle& settings, std::function<void(VideoSettingsDialog&)> edit) {
        AcceptWith<VideoSettingsDialog>(std::move(edit));
        return EditVideoSettings(settings);
    }
    bool EditSound(Handle& settings, std::function<void(SoundSettingsDialog&)> edit) {
        AcceptWith<SoundSettingsDialog>(std::move(edit));
        return EditAudioSettings(settings);
    }
};

}  // namespace

TEST_F(SettingsEditing, MarkedOrUnreadableContainersAreRefusedConfirmingWithoutAChangeKeepsEveryByte) {
    for (OSType marker : {FourCC("NONE"), FourCC("DELT")}) {
        Handle video = WithMarker(MakeVideoSettings(FourCC("jpeg")), marker);
        Handle sound = WithMarker(AacWithPrivateSettings(), marker);
        const Handle videoBefore = video, soundBefore = sound;
        EXPECT_FALSE(EditVideo(video, nullptr));
        EXPECT_FALSE(EditSound(sound, nullptr));
        EXPECT_EQ(video, videoBefore);
        EXPECT_EQ(sound, soundBefore);
    }
    Handle garbage("garbage!", 8);
    EXPECT_FALSE(EditVideo(garbage, nullptr));
    EXPECT_EQ(dialogsShown, 0) << "refused without a dialog";

    Handle video = RichVideoSettings(), sound = AacWithPrivateSettings();
    const Handle videoBefore = video, soundBefore = sound;
    ASSERT_TRUE(EditVideo(video, nullptr));
    ASSERT_TRUE(EditSound(sound, [](SoundSettingsDialog& d) {
        EXPECT_EQ(d.BitRateBox()->currentData().toInt(), 128000);
        EXPECT_EQ(d.SampleRateBox()->currentData().toInt(), 44100);
        EXPECT_EQ(d.ChannelsBox()->currentData().toInt(), 2);
    }));
    EXPECT_EQ(video, videoBefore);
    EXPECT_EQ(sound, soundBefore);
}

TEST_F(SettingsEditing, ANewVideoSettingFromNothingHoldsWhatWasChosen) {
    if (!VideoCodecTable::Find(FourCC("avc1"))->IsAvailable()) GTEST_SKIP() << "no H.264 encoder";
    Handle settings;
    ASSERT_TRUE(EditVideo(settings, [](VideoSettingsDialog& d) {
        ASSERT_TRUE(d.SelectCodec(FourCC("avc1")));
        d.QualitySlider()->setValue(0x300);
        EXPECT_EQ(d.QualityLabel()->text(), QStringLiteral("CRF 18")) << "the encoder's own figure";
        d.FrameRateBox()->setCurrentIndex(d.FrameRateBox()->findText(QStringLiteral("25")));
        d.KeyFrameCheck()->setChecked(true);
        d.KeyFrameSpin()->setValue(100);
        d.DataRateCheck()->setChecked(true);
        d.DataRateSpin()->setValue(300);
        d.SpeedBox()->setCurrentIndex(d.SpeedBox()->findText(QStringLiteral("slow")));
    }));
    const VideoSettings s = VideoSettings::FromHandle(settings);
    EXPECT_EQ(std::tuple(s.codecType, s.spatialQuality, s.frameRate, s.keyFrameRate, s.dataRate),
              std::tuple(FourCC("avc1"), 0x300, 25u << 16, 100, 300u * 1024));
    EXPECT_EQ(FindEncoderOption(s.options, "preset"), "slow");
    EXPECT_TRUE(s.hasSpatial && s.hasTemporal);
}

// Changing the quality writes only that field; another codec drops only the
// old codec's speed option.
TEST_F(SettingsEditing, ChangingTheQualityOrTheCodecWritesOnlyWhatChanged) {
    if (!VideoCodecTable::Find(FourCC("jpeg"))->IsAvailable()) GTEST_SKIP() << "no JPEG encoder";
    Handle settings = RichVideoSettings(), jpeg = settings;
    const AtomContainer before = AtomContainer::Parse(settings);
    ASSERT_TRUE(EditVideo(settings, [](VideoSettingsDialog& d) { d.QualitySlider()->setValue(0x100); }));
    const AtomContainer after = AtomContainer::Parse(settings);

    std::vector<uint8_t> expected = before.Find(FourCC("vide"))->FindChild(FourCC("sptl"))->data;
    expected[12] = 0x01;
    expected[13] = 0x00;
    EXPECT_EQ(after.Find(FourCC("vide"))->FindChild(FourCC("sptl"))->data, expected);
    for (OSType child : {FourCC("tprl"), FourCC("xopt"), FourCC("xxxx")})
        EXPECT_TRUE(after.Find(FourCC("vide"))->FindChild(child)->SameAs(*before.Find(FourCC("vide"))->FindChild(child)))
            << FourCCToString(child);
    EXPECT_TRUE(after.Find(FourCC("Edsc"))->SameAs(*before.Find(FourCC("Edsc"))));
    EXPECT_TRUE(after.Find(FourCC("Etim"))->SameAs(*before.Find(FourCC("Etim"))));
    EXPECT_EQ(after.Find(FourCC("vide"))->FindChild(FourCC("drat")), nullptr) << "no data rate was asked for";

    ASSERT_TRUE(EditVideo(jpeg, [](VideoSettingsDialog& d) {
        ASSERT_TRUE(d.SelectCodec(FourCC("jpeg")));
        EXPECT_FALSE(d.SpeedBox()->isVisibleTo(&d)) << "JPEG has no speed preset";
        EXPECT_FALSE(d.KeyFrameCheck()->isEnabled()) << "JPEG has no difference frames";
    }));
    const VideoSettings s = VideoSettings::FromHandle(jpeg);
    EXPECT_EQ(s.codecType, FourCC("jpeg"));
    EXPECT_EQ(FindEncoderOption(s.options, "preset"), "");
    EXPECT_EQ(FindEncoderOption(s.options, "tune"), "film");
    EXPECT_EQ(std::tuple(s.keyFrameRate, s.codecComponent), std::tuple(50, FourCC("appl"))) << "untouched fields stay";
}

TEST_F(SettingsEditing, ThePreviewShowsTheChosenQuality) {
    if (!VideoCodecTable::Find(FourCC("avc1"))->IsAvailable()) GTEST_SKIP() << "no H.264 encoder";
    VideoSettings initial;
    initial.codecType = FourCC("avc1");
    VideoSettingsDialog dialog(initial);
    dialog.QualitySlider()->setValue(0);
    ASSERT_TRUE(dialog.UpdatePreview());
    const size_t least = dialog.PreviewBytes();
    dialog.QualitySlider()->setValue(0x3FF);
    ASSERT_TRUE(dialog.UpdatePreview());
    EXPECT_GT(dialog.PreviewBytes(), least * 2) << "best quality costs more bytes than least";
}

TEST_F(SettingsEditing, DescribeSettingsNamesWhatTheSettingIs) {
    std::string text;
    ASSERT_TRUE(DescribeSettings(RichVideoSettings(), text));
    EXPECT_EQ(text, "My H.264") << "the description text comes first";
    EXPECT_FALSE(DescribeSettings(MakeVideoSettings(FourCC("zzzz")), text)) << "an unknown codec has no name";
    EXPECT_FALSE(DescribeSettings(MakeSoundSettings(FourCC("qqqq"), 2, 16, 44100), text));
    EXPECT_EQ(text, "Unknown sound format");
    EXPECT_FALSE(DescribeSettings(Handle("junk", 4), text));
}

// A new bit rate keeps the codec's other settings; a format without a bit
// rate drops only the bit rate.
TEST_F(SettingsEditing, ANewBitRateOrAFormatWithoutOneKeepsTheCodecsOtherSettings) {
    Handle settings = AacWithPrivateSettings(), pcm = settings;
    ASSERT_TRUE(EditSound(settings, [](SoundSettingsDialog& d) {
        ASSERT_TRUE(SoundSettingsDialog::SelectValue(d.BitRateBox(), 256000));
    }));
    const AtomContainer after = AtomContainer::Parse(settings);
    EXPECT_EQ(after.Find(FourCC("CSTa"))->Text(), "bitrate=256000\naac_coder=fast\n");
    EXPECT_NE(after.Find(FourCC("soun"))->FindChild(FourCC("ssxx")), nullptr);
    EXPECT_EQ(after.Find(FourCC("Edsc"))->Text(), "Voice");
    const SoundSettings aac = SoundSettings::FromHandle(settings);
    EXPECT_EQ(std::tuple(aac.compressionType, aac.SampleRateHz()), std::tuple(FourCC("aac "), 44100));

    ASSERT_TRUE(EditSound(pcm, [](SoundSettingsDialog& d) {
        ASSERT_TRUE(d.SelectFormat(FourCC("twos")));
        EXPECT_FALSE(d.BitRateBox()->isEnabled());
        EXPECT_FALSE(d.SampleSizeBox()->isEnabled()) << "16-bit PCM has its own size";
    }));
    const SoundSettings s = SoundSettings::FromHandle(pcm);
    EXPECT_EQ(std::tuple(s.compressionType, s.SampleRateHz(), s.channels), std::tuple(FourCC("twos"), 44100, 2));
    EXPECT_EQ(FindEncoderOption(s.options, "bitrate"), "");
    EXPECT_EQ(FindEncoderOption(s.options, "aac_coder"), "fast");
}

TEST_F(SettingsEditing, RatesAreLimitedToWhatTheFormatTakes) {
    if (!SoundTypeTable::Find(FourCC("Opus"))->IsAvailable()) GTEST_SKIP() << "no Opus encoder";
    Handle settings;
    ASSERT_TRUE(EditSound(settings, [](SoundSettingsDialog& d) {
        ASSERT_TRUE(d.SelectFormat(FourCC("Opus")));
        EXPECT_EQ(d.SampleRateBox()->findData(44100), -1) << "Opus does not run at 44.1 kHz";
        ASSERT_TRUE(SoundSettingsDialog::SelectValue(d.SampleRateBox(), 48000));
        ASSERT_TRUE(SoundSettingsDialog::SelectValue(d.ChannelsBox(), 1));
        ASSERT_TRUE(SoundSettingsDialog::SelectValue(d.BitRateBox(), 96000));
    }));
    const SoundSettings s = SoundSettings::FromHandle(settings);
    EXPECT_EQ(std::tuple(s.compressionType, s.SampleRateHz(), s.channels), std::tuple(FourCC("Opus"), 48000, 1));
    EXPECT_EQ(FindEncoderOption(s.options, "bitrate"), "96000");
}

