// The codec comparison panes: their geometry beside the preview, dropped
// codecs and filters, the none marker, zoom and scrolling in step, the
// watermark, and the frame of the current time.
#include <gtest/gtest.h>

#include <QTest>

#include "platform/media/AtomContainer.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/encode/VideoSettings.h"
#include "resources/StringLists.h"
#include "support/Pictures.h"
#include "support/PreviewWindow.h"

using namespace previewtest;

namespace {

TEST(FourUpGeometry, ImageSizeZoomAndQuarterLayoutFollowThePreview) {
    // An offset crop counts by its size only.
    EXPECT_EQ(CodecFourUp::ImageSizeFor(2.0, QSize(1, 1), CropRect{100, 50, 420, 290}), QSize(648, 515));
    EXPECT_NEAR(CodecFourUp::PaneZoom(0.0, QSize(400, 300), CropRect{0, 0, 640, 480}), 0.5520833, 1e-6);
    EXPECT_NEAR(CodecFourUp::PaneZoom(0.0, QSize(400, 600), CropRect{0, 0, 640, 480}), 392.0 / 640, 1e-9);
    // A quarter keeps its bound corner: top-left, bottom-right, or stays.
    EXPECT_EQ(FourUpView::QuarterGeometry(QRect(0, 0, 100, 80), QSize(401, 300), true, true), QRect(0, 0, 201, 150));
    EXPECT_EQ(FourUpView::QuarterGeometry(QRect(100, 80, 100, 80), QSize(400, 300), false, false),
              QRect(0, 10, 200, 150));
    EXPECT_EQ(FourUpView::QuarterGeometry(QRect(200, 150, 200, 150), QSize(400, 300), false, false),
              QRect(200, 150, 200, 150));
}

TEST(FourUpPane, DroppedCodecsAndFiltersGiveTheirSizesAndLabels) {
    FourUpWindow w(2, QSize(340, 300));
    w.Open(BarsMovie());
    w.Connect();
    EXPECT_EQ(w.panes[0]->CodecLabel(), GetIndString(1002, 25));
    for (CodecFourUp* pane : w.panes) Drop(*pane, kFlavorVideoCodec, MakeVideoSettings(FourCC("jpeg"), 0x200), "Photo.qtcd");
    Drop(*w.panes[1], kFlavorEffect, MakeEffectDescription(FourCC("blur"), {{FourCC("ksiz"), 8}}), "Soft focus.qtfx");
    for (CodecFourUp* pane : w.panes) {
        pane->UpdatePaneWorld();
        ASSERT_NE(pane->GetPaneWorld(), nullptr);
        EXPECT_EQ(pane->GetPaneWorld()->Width(), 640);
    }
    EXPECT_LT(w.panes[1]->GetCompressedSize(), w.panes[0]->GetCompressedSize() * 9 / 10)
        << "a blurred frame should compress smaller";
    // The preset's file name becomes the codec's name on the label.
    EXPECT_EQ(w.panes[0]->CodecLabel().rfind("Photo" + GetIndString(1002, 22) + GetIndString(1002, 24), 0), 0u)
        << w.panes[0]->CodecLabel();
    EXPECT_EQ(w.panes[1]->FilterLabel(), "Soft focus");
    EXPECT_EQ(w.panes[0]->FilterLabel(), GetIndString(1002, 26));

    // Unreadable files and other flavours change nothing; the none marker clears the codec.
    CodecFourUp& pane = *w.panes[0];
    Handle missing = PresetRecord(MakeVideoSettings(FourCC("jpeg")), "gone.qtcd");
    fs::remove(testsupport::ScratchDir() / "gone.qtcd");
    EXPECT_FALSE(pane.ReceiveDropItem(missing, kFlavorVideoCodec, QPoint(), 0));
    Handle other = PresetRecord(MakeVideoSettings(FourCC("jpeg")), "other.qtcd");
    EXPECT_FALSE(pane.ReceiveDropItem(other, kFlavorFile, QPoint(), 0));
    EXPECT_FALSE(pane.GetCodecSetting().IsNull()) << "an unreadable drop changed the pane";
    AtomContainer none;
    none.Root().InsertChildU32(kNotSettingsMarker, 1, 0);
    Drop(pane, kFlavorVideoCodec, none.ToHandle(), "No compression.qtcd");
    EXPECT_TRUE(pane.GetCodecSetting().IsNull());
    EXPECT_EQ(pane.CodecLabel(), GetIndString(1002, 25));
    EXPECT_EQ(pane.GetPaneWorld(), nullptr) << "the world is rebuilt after a drop";
}

TEST(FourUpPane, ZoomAndHandScrollingFollowTheOthers) {
    FourUpWindow w(3, QSize(200, 180));
    w.Open(BarsMovie());
    w.Connect();
    w.model.SetCrop(0, 0, 320, 240);
    w.preview->OnMessage(msg_Zoom200, nullptr);
    for (CodecFourUp* pane : w.panes) pane->OnMessage(msg_Zoom200, nullptr);
    EXPECT_EQ(w.panes[0]->GetImageSize(), QSize(648, 515));
    w.model.SetCrop(0, 0, 640, 480);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    QWidget* frame = w.panes[1]->viewport();
    QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(150, 150));
    QTest::mouseMove(frame, QPoint(100, 120));
    QTest::mouseMove(frame, QPoint(60, 100));
    QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(60, 100));
    EXPECT_EQ(w.panes[1]->GetScrollPosition(), QPoint(90, 50));
    for (CodecFourUp* pane : w.panes) EXPECT_EQ(pane->GetScrollPosition(), QPoint(90, 50));
    w.preview->OnMessage(msg_ZoomFit, nullptr);
    w.panes[0]->OnMessage(msg_ZoomFit, nullptr);
    EXPECT_EQ(w.panes[0]->GetImageSize(), w.panes[0]->GetFrameSize());
}

// The panes lay the watermark over the picture at the pane zoom, once.
TEST(FourUpPane, TheWatermarkScalesOnceAtThePaneZoom) {
    FourUpWindow w(1, QSize(400, 300));
    w.Open(HalvesMovie());
    ASSERT_NE(w.preview->GetSourceFrame(), nullptr);  // the frame the pane shows
    w.Connect();
    w.preview->OnMessage(msg_Zoom50, nullptr);
    w.model.SetWatermarkFile(Spec(pictures::Picture(100, 100, "0x00FF00")));
    w.model.SetCustomSize(true);
    auto grab = [&] {
        QImage image(w.panes[0]->viewport()->size(), QImage::Format_RGB32);
        w.panes[0]->viewport()->render(&image);
        return image;
    };
    QCoreApplication::processEvents();  // the pane gets its size
    EXPECT_EQ(WidestRow(grab(), Qt::green), 50);
}

TEST(FourUpPane, MovingTheTimeRendersTheNewFrame) {
    FourUpWindow w(2, QSize(340, 300));
    w.Open(BarsMovie());
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
    const OffscreenWorld* source = w.preview->GetSourceFrame();
    ASSERT_TRUE(after && source);
    int changed = 0, differentFromSource = 0;
    for (int y = 0; y < after->Height(); y += 7)
        for (int x = 0; x < after->Width(); x += 7) {
            changed += std::memcmp(after->Row(y) + 3 * x, before.Row(y) + 3 * x, 3) != 0;
            differentFromSource += std::memcmp(after->Row(y) + 3 * x, source->Row(y) + 3 * x, 3) != 0;
        }
    EXPECT_GT(changed, 100);
    EXPECT_EQ(differentFromSource, 0) << "without codec or filter the pane shows the source frame";
}

}  // namespace
