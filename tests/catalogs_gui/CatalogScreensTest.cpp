// The grids, the filter list and the dialogs as they are drawn. Each test
// checks that the cells show their pictures; with MOVELARK_SCREENS set to
// a folder the pictures are also written there for people to look at.
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <set>

#include "CatalogTestSupport.h"
#include "catalogs/CAudioCodecList.h"
#include "catalogs/CFilterList.h"
#include "catalogs/CSingleEffectsList.h"
#include "catalogs/CVideoCodecList.h"
#include "catalogs/CatalogSetup.h"
#include "catalogs/EffectParameterDialog.h"
#include "catalogs/SoundSettingsDialog.h"
#include "catalogs/VideoSettingsDialog.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/encode/VideoCodecTable.h"

using namespace cattest;

namespace {

// Distinct colours inside a rectangle of a picture.
int CountColours(const QImage& image, const QRect& area) {
    std::set<QRgb> colours;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) colours.insert(image.pixel(x, y));
    return int(colours.size());
}

class CatalogScreens : public CatalogTest {
protected:
    void SetUp() override {
        CatalogTest::SetUp();
        InstallDefaultPresets();
    }
    QImage Shoot(QWidget& widget, const char* name, QWidget* focus = nullptr) {
        widget.show();
        widget.raise();
        // Without a window manager nothing activates a window by itself.
        QApplication::setActiveWindow(&widget);
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        for (LView* view : widget.findChildren<LView*>()) view->Activate();
        if (focus) focus->setFocus();
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        const QImage picture = widget.grab().toImage();
        if (const QByteArray folder = qgetenv("MOVELARK_SCREENS"); !folder.isEmpty()) {
            EXPECT_TRUE(picture.save(QString::fromUtf8(folder) + QStringLiteral("/catalogs-%1.png").arg(QLatin1String(name))));
        }
        return picture;
    }
};

}  // namespace

TEST_F(CatalogScreens, CodecGridsShowTheirPresets) {
    QWidget window;
    window.setWindowTitle(QStringLiteral("Codec presets"));
    auto* row = new QHBoxLayout(&window);
    ListWindow<CVideoCodecList> video(kNewVideoPresetButton, kEditVideoPresetButton, kDeleteVideoPresetButton,
                                      QSize(380, 290));
    ListWindow<CAudioCodecList> audio(kNewAudioPresetButton, kEditAudioPresetButton, kDeleteAudioPresetButton,
                                      QSize(260, 290));
    row->addWidget(&video.window);
    row->addWidget(&audio.window);
    video.list->Reload();
    audio.list->Reload();
    video.list->SelectItem(video.list->GetItem(3));
    const QImage picture = Shoot(window, "codec-grids", video.list);
    const QPoint origin = video.list->mapTo(&window, QPoint(0, 0));
    EXPECT_GT(CountColours(picture, video.list->CellActiveRect(1).translated(origin)), 8) << "a cell with its picture";
    EXPECT_LT(CountColours(picture, QRect(origin + QPoint(1, 1), QSize(10, 10))), 3) << "the margin is plain";
}

TEST_F(CatalogScreens, EffectGridAndFilterListShowTheirEffects) {
    QWidget window;
    window.setWindowTitle(QStringLiteral("Effects and filters"));
    auto* row = new QHBoxLayout(&window);
    ListWindow<CSingleEffectsList> effects(kNewEffectPresetButton, kEditEffectPresetButton, kDeleteEffectPresetButton,
                                           QSize(380, 290));
    row->addWidget(&effects.window);
    DocumentWithoutMovie model;
    auto* filters = new CFilterList(&window);
    filters->setFixedSize(100, 330);
    filters->SetModel(&model);
    row->addWidget(filters);
    effects.list->Reload();
    for (const char* name : {"Color Tint", "Edge Detection", "Solarize"})
        filters->InsertPresetAt(Spec(FilterFolder() / (std::string(name) + ".QTfx")), QPoint(0, 1000));
    filters->SetSelection(2);
    const QImage picture = Shoot(window, "effects-and-filters", filters);
    const QPoint origin = filters->mapTo(&window, QPoint(0, 0));
    EXPECT_GT(CountColours(picture, QRect(origin + QPoint(10, 10), QSize(70, 40))), 20) << "the first filter's thumbnail";
}

TEST_F(CatalogScreens, SettingsAndParameterDialogs) {
    VideoSettings video = VideoSettings::FromHandle(ReadFile(CodecFolder() / "H.264 Web.QTcd"));
    video.spatialQuality = 0x80;  // low enough to see
    VideoSettingsDialog videoDialog(video);
    ASSERT_TRUE(videoDialog.UpdatePreview());
    EXPECT_FALSE(Shoot(videoDialog, "video-settings").isNull());
    EXPECT_TRUE(videoDialog.QualityLabel()->text().startsWith(QStringLiteral("CRF")));

    SoundSettingsDialog soundDialog(SoundSettings::FromHandle(ReadFile(CodecFolder() / "AAC 128 kbps.QTac")));
    EXPECT_FALSE(Shoot(soundDialog, "sound-settings").isNull());

    AtomContainer start = AtomContainer::Parse(
        MakeEffectDescription(FourCC("hslb"), {{FourCC("hue "), 40}, {FourCC("satu"), 60}}));
    EffectParameterDialog effectDialog(start, GetEffectList(1), nullptr, false);
    ASSERT_TRUE(effectDialog.UpdatePreview());
    EXPECT_FALSE(Shoot(effectDialog, "effect-parameters").isNull());
}
