// The sound settings dialog and EditAudioSettings: the codec's own
// settings ('CSTa') survive edits, and only what changed is written.
#include <QComboBox>

#include "CatalogTestSupport.h"
#include "catalogs/CompressionSettingsEditing.h"
#include "catalogs/SoundSettingsDialog.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/encode/SoundTypeTable.h"

using namespace cattest;

namespace {

Handle AacWithPrivateSettings() {
    AtomContainer c = AtomContainer::Parse(MakeSoundSettings(FourCC("aac "), 2, 16, 44100));
    c.Find(FourCC("soun"))->InsertChildText(FourCC("ssxx"), 1, "something the dialog does not know");
    c.Root().InsertChildText(FourCC("CSTa"), 1, "bitrate=128000\naac_coder=fast\n");
    c.Root().InsertChildText(FourCC("Edsc"), 1, "Voice");
    return c.ToHandle();
}

class SoundSettingsEditing : public CatalogTest {
protected:
    bool Edit(Handle& settings, std::function<void(SoundSettingsDialog&)> edit) {
        AcceptWith<SoundSettingsDialog>(std::move(edit));
        return EditAudioSettings(settings);
    }
};

}  // namespace

TEST_F(SoundSettingsEditing, MarkedContainersAreRefused) {
    for (const char* marker : {"NONE", "DELT"}) {
        AtomContainer c = AtomContainer::Parse(AacWithPrivateSettings());
        c.Insert(FourCC(marker[0] == 'N' ? "NONE" : "DELT"), 1, nullptr, 0);
        Handle settings = c.ToHandle();
        EXPECT_FALSE(Edit(settings, nullptr));
    }
    EXPECT_EQ(dialogsShown, 0);
}

TEST_F(SoundSettingsEditing, ConfirmingWithoutAChangeKeepsEveryByte) {
    Handle settings = AacWithPrivateSettings();
    const Handle before = settings;
    ASSERT_TRUE(Edit(settings, [](SoundSettingsDialog& d) {
        EXPECT_EQ(d.BitRateBox()->currentData().toInt(), 128000);
        EXPECT_EQ(d.SampleRateBox()->currentData().toInt(), 44100);
        EXPECT_EQ(d.ChannelsBox()->currentData().toInt(), 2);
    }));
    EXPECT_EQ(settings, before);
}

TEST_F(SoundSettingsEditing, ANewBitRateKeepsTheCodecsOtherSettings) {
    Handle settings = AacWithPrivateSettings();
    ASSERT_TRUE(Edit(settings, [](SoundSettingsDialog& d) {
        ASSERT_TRUE(SoundSettingsDialog::SelectValue(d.BitRateBox(), 256000));
    }));
    const AtomContainer after = AtomContainer::Parse(settings);
    EXPECT_EQ(after.Find(FourCC("CSTa"))->Text(), "bitrate=256000\naac_coder=fast\n");
    EXPECT_NE(after.Find(FourCC("soun"))->FindChild(FourCC("ssxx")), nullptr);
    EXPECT_EQ(after.Find(FourCC("Edsc"))->Text(), "Voice");
    const SoundSettings s = SoundSettings::FromHandle(settings);
    EXPECT_EQ(std::tuple(s.compressionType, s.SampleRateHz()), std::tuple(FourCC("aac "), 44100));
}

TEST_F(SoundSettingsEditing, AFormatWithoutBitRateDropsOnlyTheBitRate) {
    Handle settings = AacWithPrivateSettings();
    ASSERT_TRUE(Edit(settings, [](SoundSettingsDialog& d) {
        ASSERT_TRUE(d.SelectFormat(FourCC("twos")));
        EXPECT_FALSE(d.BitRateBox()->isEnabled());
        EXPECT_FALSE(d.SampleSizeBox()->isEnabled()) << "16-bit PCM has its own size";
    }));
    const SoundSettings s = SoundSettings::FromHandle(settings);
    EXPECT_EQ(std::tuple(s.compressionType, s.SampleRateHz(), s.channels), std::tuple(FourCC("twos"), 44100, 2));
    EXPECT_EQ(FindEncoderOption(s.options, "bitrate"), "");
    EXPECT_EQ(FindEncoderOption(s.options, "aac_coder"), "fast");
}

TEST_F(SoundSettingsEditing, RatesAreLimitedToWhatTheFormatTakes) {
    if (!SoundTypeTable::Find(FourCC("Opus"))->IsAvailable()) GTEST_SKIP() << "no Opus encoder";
    Handle settings;
    ASSERT_TRUE(Edit(settings, [](SoundSettingsDialog& d) {
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

