#include <gtest/gtest.h>

#include <QTest>
#include <chrono>

#include "catalogs/PresetFile.h"
#include "fourup/CSyncronizedFourUp.h"
#include "fourup/CodecFourUp.h"
#include "framework/gui/DragFlavors.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/encode/VideoSettings.h"
#include "resources/StringLists.h"
#include "tests/fourup_gui/FourUpTestSupport.h"
#include "tests/preview_gui/PreviewTestSupport.h"

namespace fs = std::filesystem;

namespace {
// A preset file in the scratch folder, dropped as its 272-byte record.
Handle PresetRecord(const Handle& contents, const std::string& name) {
    const fs::path path = fouruptest::TestDir() / name;
    EXPECT_TRUE(WritePresetFile(fouruptest::Spec(path), contents));
    const auto record = MakeFileRecord(path.string());
    return record ? Handle(record->constData(), size_t(record->size())) : Handle();
}

void Drop(CodecFourUp& pane, OSType flavor, const Handle& contents, const std::string& name) {
    Handle record = PresetRecord(contents, name);
    EXPECT_FALSE(pane.ReceiveDropItem(record, flavor, QPoint(), 0));
}

// The preview window with comparison panes below it, sharing its model.
struct FourUpWindow : previewtest::PreviewWindow {
    std::vector<CodecFourUp*> panes;
    CSyncronizedFourUp sync;

    FourUpWindow(int count, QSize paneSize, int previewSize = 300) : PreviewWindow(previewSize, previewSize) {
        for (int i = 0; i < count; ++i) {
            auto* pane = new CodecFourUp(&window);
            pane->setObjectName(QString::number(i + 1));
            pane->setFixedSize(paneSize);
            window.layout()->addWidget(pane);
            pane->SetMoviePreview(preview);
            pane->Activate();
            sync.AttachPane(pane);
            panes.push_back(pane);
        }
        window.show();
    }
    void Connect() {
        for (CodecFourUp* pane : panes) pane->SetModel(&model);
    }
    ~FourUpWindow() {
        for (CodecFourUp* pane : panes) delete pane;
    }
};
}  // namespace

TEST(FourUpGeometry, ImageSizeAndZoomFollowThePreview) {
    const CropRect crop{0, 0, 320, 240};
    EXPECT_EQ(CodecFourUp::ImageSizeFor(2.0, QSize(300, 200), crop), QSize(648, 515));
    EXPECT_EQ(CodecFourUp::ImageSizeFor(0.5, QSize(300, 200), crop), QSize(168, 155));
    EXPECT_EQ(CodecFourUp::ImageSizeFor(0.0, QSize(300, 200), crop), QSize(300, 200)) << "fit: the frame";
    EXPECT_NEAR(CodecFourUp::PaneZoom(0.0, QSize(400, 300), CropRect{0, 0, 640, 480}), 0.5520833, 1e-6);
    EXPECT_NEAR(CodecFourUp::PaneZoom(0.0, QSize(400, 600), CropRect{0, 0, 640, 480}), 392.0 / 640, 1e-9);
    EXPECT_DOUBLE_EQ(CodecFourUp::PaneZoom(2.0, QSize(400, 300), crop), 2.0);
    // An offset crop counts by its size only.
    EXPECT_EQ(CodecFourUp::ImageSizeFor(2.0, QSize(1, 1), CropRect{100, 50, 420, 290}), QSize(648, 515));
}

TEST(FourUpGeometry, QuarterLayoutKeepsTheBoundCorner) {
    // Bound left and top: keeps its top-left corner.
    EXPECT_EQ(FourUpView::QuarterGeometry(QRect(0, 0, 100, 80), QSize(401, 300), true, true), QRect(0, 0, 201, 150));
    // Bound right and bottom: keeps its bottom-right corner.
    EXPECT_EQ(FourUpView::QuarterGeometry(QRect(100, 80, 100, 80), QSize(400, 300), false, false),
              QRect(0, 10, 200, 150));
    // Already a quarter: stays where it is.
    EXPECT_EQ(FourUpView::QuarterGeometry(QRect(200, 150, 200, 150), QSize(400, 300), false, false),
              QRect(200, 150, 200, 150));
}

TEST(FourUpPane, WithoutPreviewOrModelTheZoomIsOne) {
    CodecFourUp pane;
    EXPECT_DOUBLE_EQ(pane.GetPaneZoom(), 1.0);
    pane.UpdatePaneWorld();
    EXPECT_EQ(pane.GetPaneWorld(), nullptr);
    EXPECT_EQ(pane.CodecLabel(), GetIndString(1002, 25));
    EXPECT_EQ(pane.FilterLabel(), GetIndString(1002, 26));
}

TEST(FourUpPane, SameCodecDifferentFiltersGiveDifferentSizesAndLabels) {
    FourUpWindow w(2, QSize(340, 300));
    w.Open(previewtest::BarsMovie());
    w.Connect();
    for (CodecFourUp* pane : w.panes) Drop(*pane, kFlavorVideoCodec, MakeVideoSettings(FourCC("jpeg"), 0x200), "Photo.qtcd");
    Drop(*w.panes[1], kFlavorEffect, MakeEffectDescription(FourCC("blur"), {{FourCC("ksiz"), 8}}), "Soft focus.qtfx");
    for (CodecFourUp* pane : w.panes) {
        pane->UpdatePaneWorld();
        ASSERT_NE(pane->GetPaneWorld(), nullptr);
        EXPECT_EQ(pane->GetPaneWorld()->Width(), 640);
        EXPECT_GT(pane->GetCompressedSize(), 0);
    }
    EXPECT_LT(w.panes[1]->GetCompressedSize(), w.panes[0]->GetCompressedSize() * 9 / 10)
        << "a blurred frame should compress smaller";
    // The preset's file name becomes the codec's name on the label.
    EXPECT_EQ(w.panes[0]->CodecLabel().rfind("Photo" + GetIndString(1002, 22) + GetIndString(1002, 24), 0), 0u)
        << w.panes[0]->CodecLabel();
    EXPECT_EQ(w.panes[0]->CodecLabel().back(), '%');
    EXPECT_EQ(w.panes[1]->FilterLabel(), "Soft focus");
    EXPECT_EQ(w.panes[0]->FilterLabel(), GetIndString(1002, 26));
}

TEST(FourUpPane, TheNoneMarkerClearsTheCodecAndUnreadableFilesChangeNothing) {
    FourUpWindow w(1, QSize(340, 300));
    w.Open(previewtest::BarsMovie());
    w.Connect();
    CodecFourUp& pane = *w.panes[0];
    Drop(pane, kFlavorVideoCodec, MakeVideoSettings(FourCC("jpeg")), "Photo.qtcd");
    ASSERT_FALSE(pane.GetCodecSetting().IsNull());

    Handle missing = PresetRecord(MakeVideoSettings(FourCC("jpeg")), "gone.qtcd");
    fs::remove(fouruptest::TestDir() / "gone.qtcd");
    EXPECT_FALSE(pane.ReceiveDropItem(missing, kFlavorVideoCodec, QPoint(), 0));
    EXPECT_FALSE(pane.GetCodecSetting().IsNull()) << "an unreadable drop changed the pane";
    Handle refused = PresetRecord(MakeVideoSettings(FourCC("jpeg")), "other.qtcd");
    EXPECT_FALSE(pane.ReceiveDropItem(refused, kFlavorFile, QPoint(), 0));

    AtomContainer none;
    none.Root().InsertChildU32(kNotSettingsMarker, 1, 0);
    Drop(pane, kFlavorVideoCodec, none.ToHandle(), "No compression.qtcd");
    EXPECT_TRUE(pane.GetCodecSetting().IsNull());
    EXPECT_EQ(pane.CodecLabel(), GetIndString(1002, 25));
    EXPECT_EQ(pane.GetPaneWorld(), nullptr) << "the world is rebuilt after a drop";
}

TEST(FourUpPane, FollowsThePreviewsZoomMessages) {
    FourUpWindow w(1, QSize(300, 250));
    w.Open(previewtest::BarsMovie());
    w.Connect();
    w.model.SetCrop(0, 0, 320, 240);
    w.preview->OnMessage(msg_Zoom200, nullptr);
    w.panes[0]->OnMessage(msg_Zoom200, nullptr);
    EXPECT_EQ(w.panes[0]->GetImageSize(), QSize(648, 515));
    w.preview->OnMessage(msg_ZoomFit, nullptr);
    w.panes[0]->OnMessage(msg_ZoomFit, nullptr);
    EXPECT_EQ(w.panes[0]->GetImageSize(), w.panes[0]->GetFrameSize());
}

TEST(FourUpPane, HandScrollingOnePaneScrollsTheOthers) {
    FourUpWindow w(3, QSize(200, 180));
    w.Open(previewtest::BarsMovie());
    w.Connect();
    w.preview->OnMessage(msg_Zoom200, nullptr);
    for (CodecFourUp* pane : w.panes) pane->OnMessage(msg_Zoom200, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    QWidget* frame = w.panes[1]->viewport();
    QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(150, 150));
    QTest::mouseMove(frame, QPoint(100, 120));
    QTest::mouseMove(frame, QPoint(60, 100));
    QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(60, 100));
    const QPoint position = w.panes[1]->GetScrollPosition();
    EXPECT_EQ(position, QPoint(90, 50));
    for (CodecFourUp* pane : w.panes) EXPECT_EQ(pane->GetScrollPosition(), position);
}

TEST(FourUpPane, MovingTheTimeRendersTheNewFrame) {
    FourUpWindow w(2, QSize(340, 300));
    w.Open(previewtest::BarsMovie());
    w.Connect();
    for (CodecFourUp* pane : w.panes) pane->UpdatePaneWorld();
    const OffscreenWorld before = *w.panes[0]->GetPaneWorld();
    w.model.SetCurrentTime(STimeValue{900, 600});  // 1.5 s: the bars have moved on
    EXPECT_TRUE(w.panes[0]->NeedsRender());
    w.panes[1]->hide();  // a hidden pane renders when next drawn
    EXPECT_TRUE(w.panes[1]->NeedsRender());
    w.panes[0]->UpdatePaneWorld();
    EXPECT_FALSE(w.panes[0]->NeedsRender());
    const OffscreenWorld* after = w.panes[0]->GetPaneWorld();
    ASSERT_NE(after, nullptr);
    const OffscreenWorld* source = w.preview->GetSourceFrame();
    ASSERT_NE(source, nullptr);
    int changed = 0, differentFromSource = 0;
    for (int y = 0; y < after->Height(); y += 7)
        for (int x = 0; x < after->Width(); x += 7) {
            if (std::memcmp(after->Row(y) + 3 * x, before.Row(y) + 3 * x, 3) != 0) ++changed;
            if (std::memcmp(after->Row(y) + 3 * x, source->Row(y) + 3 * x, 3) != 0) ++differentFromSource;
        }
    EXPECT_GT(changed, 100);
    EXPECT_EQ(differentFromSource, 0) << "without codec or filter the pane shows the source frame";
}

// Four 1920 x 1080 panes with H.264, VP9, JPEG and ProRes re-render after a
// frame step in well under a second together.
TEST(FourUpSpeed, FourFullHDPanesReRenderAfterAFrameStepInUnderOneSecond) {
    const fs::path movie = testsupport::FixtureMovie(
        "fourup_hd.mov", "-f lavfi -i testsrc2=size=1920x1080:rate=10:duration=1 -c:v mpeg4 -q:v 3 -g 5");
    FourUpWindow w(4, QSize(240, 180), 200);
    w.Open(movie);
    w.Connect();
    const OSType codecs[4] = {FourCC("avc1"), FourCC("vp09"), FourCC("jpeg"), FourCC("apcn")};
    for (int i = 0; i < 4; ++i) {
        Drop(*w.panes[size_t(i)], kFlavorVideoCodec, MakeVideoSettings(codecs[i]), "codec" + std::to_string(i) + ".qtcd");
        w.panes[size_t(i)]->UpdatePaneWorld();  // first build: encoders start up
        ASSERT_NE(w.panes[size_t(i)]->GetPaneWorld(), nullptr);
        EXPECT_EQ(w.panes[size_t(i)]->GetPaneWorld()->Width(), 1920);
    }
    w.model.SetCurrentTime(STimeValue{60, 600});  // one frame on
    const auto start = std::chrono::steady_clock::now();
    for (CodecFourUp* pane : w.panes) pane->UpdatePaneWorld();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("four-up re-render of four 1920x1080 panes: %.3f s\n", seconds);
    for (CodecFourUp* pane : w.panes) {
        EXPECT_FALSE(pane->NeedsRender());
        EXPECT_GT(pane->GetCompressedSize(), 0) << pane->CodecLabel();
    }
    EXPECT_LT(seconds, 1.0);
}
