// The video settings dialog and EditVideoSettings: what it refuses, what
// it writes, what it leaves alone, its quality figure and its preview.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>

#include "CatalogTestSupport.h"
#include "catalogs/CompressionSettingsEditing.h"
#include "catalogs/VideoSettingsDialog.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/encode/SoundSettings.h"
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

Handle WithMarker(OSType marker) {
    AtomContainer c = AtomContainer::Parse(MakeVideoSettings(FourCC("jpeg")));
    c.Insert(marker, 1, nullptr, 0);
    return c.ToHandle();
}

class VideoSettingsEditing : public CatalogTest {
protected:
    // Runs EditVideoSettings with the dialog set up by `edit`, accepted.
    bool Edit(Handle& settings, std::function<void(VideoSettingsDialog&)> edit) {
        AcceptWith<VideoSettingsDialog>(std::move(edit));
        return EditVideoSettings(settings);
    }
};

}  // namespace

TEST_F(VideoSettingsEditing, MarkedOrUnreadableContainersAreRefusedWithoutADialog) {
    for (Handle settings : {WithMarker(FourCC("NONE")), WithMarker(FourCC("DELT")), Handle("garbage!", 8)}) {
        const Handle before = settings;
        EXPECT_FALSE(Edit(settings, nullptr));
        EXPECT_EQ(settings, before);
    }
    EXPECT_EQ(dialogsShown, 0);
}

TEST_F(VideoSettingsEditing, ANewSettingFromNothingHoldsWhatWasChosen) {
    if (!VideoCodecTable::Find(FourCC("avc1"))->IsAvailable()) GTEST_SKIP() << "no H.264 encoder";
    Handle settings;
    ASSERT_TRUE(Edit(settings, [](VideoSettingsDialog& d) {
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

TEST_F(VideoSettingsEditing, ConfirmingWithoutAChangeKeepsEveryByte) {
    Handle settings = RichVideoSettings();
    const Handle before = settings;
    ASSERT_TRUE(Edit(settings, nullptr));
    EXPECT_EQ(settings, before);
}

TEST_F(VideoSettingsEditing, ChangingTheQualityWritesOnlyThatField) {
    Handle settings = RichVideoSettings();
    const AtomContainer before = AtomContainer::Parse(settings);
    ASSERT_TRUE(Edit(settings, [](VideoSettingsDialog& d) { d.QualitySlider()->setValue(0x100); }));
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
}

TEST_F(VideoSettingsEditing, AnotherCodecDropsOnlyTheOldSpeedOption) {
    if (!VideoCodecTable::Find(FourCC("jpeg"))->IsAvailable()) GTEST_SKIP() << "no JPEG encoder";
    Handle settings = RichVideoSettings();
    ASSERT_TRUE(Edit(settings, [](VideoSettingsDialog& d) {
        ASSERT_TRUE(d.SelectCodec(FourCC("jpeg")));
        EXPECT_FALSE(d.SpeedBox()->isVisibleTo(&d)) << "JPEG has no speed preset";
        EXPECT_FALSE(d.KeyFrameCheck()->isEnabled()) << "JPEG has no difference frames";
    }));
    const VideoSettings s = VideoSettings::FromHandle(settings);
    EXPECT_EQ(s.codecType, FourCC("jpeg"));
    EXPECT_EQ(FindEncoderOption(s.options, "preset"), "");
    EXPECT_EQ(FindEncoderOption(s.options, "tune"), "film");
    EXPECT_EQ(std::tuple(s.keyFrameRate, s.codecComponent), std::tuple(50, FourCC("appl"))) << "untouched fields stay";
}

TEST_F(VideoSettingsEditing, ThePreviewShowsTheChosenQuality) {
    if (!VideoCodecTable::Find(FourCC("avc1"))->IsAvailable()) GTEST_SKIP() << "no H.264 encoder";
    VideoSettings initial;
    initial.codecType = FourCC("avc1");
    VideoSettingsDialog dialog(initial);
    dialog.QualitySlider()->setValue(0);
    ASSERT_TRUE(dialog.UpdatePreview());
    const size_t least = dialog.PreviewBytes();
    EXPECT_EQ(dialog.PreviewImage().size(), QSize(192, 144));
    dialog.QualitySlider()->setValue(0x3FF);
    ASSERT_TRUE(dialog.UpdatePreview());
    EXPECT_GT(dialog.PreviewBytes(), least * 2) << "best quality costs more bytes than least";
}

TEST_F(VideoSettingsEditing, DescribeSettingsNamesWhatTheSettingIs) {
    std::string text;
    ASSERT_TRUE(DescribeSettings(RichVideoSettings(), text));
    EXPECT_EQ(text, "My H.264") << "the description text comes first";
    ASSERT_TRUE(DescribeSettings(MakeVideoSettings(FourCC("jpeg")), text));
    EXPECT_EQ(text, "Photo - JPEG");
    EXPECT_FALSE(DescribeSettings(MakeVideoSettings(FourCC("zzzz")), text)) << "an unknown codec has no name";
    ASSERT_TRUE(DescribeSettings(MakeSoundSettings(FourCC("aac "), 2, 16, 44100), text));
    EXPECT_EQ(text, "AAC");
    EXPECT_FALSE(DescribeSettings(MakeSoundSettings(FourCC("qqqq"), 2, 16, 44100), text));
    EXPECT_EQ(text, "Unknown sound format");
    EXPECT_FALSE(DescribeSettings(Handle("junk", 4), text));
}
