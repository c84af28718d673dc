// The preview pane in a window, driven by mouse events and messages like a
// user would: layout and zoom, what the pictures show, crop dragging, the
// divider, the mode tabs and drops.
#include <gtest/gtest.h>

#include "appearance/QtAppearance.h"
#include "framework/gui/CDelayedDrop.h"
#include "model/SChangeInfo.h"
#include "support/MouseEvents.h"
#include "support/Pictures.h"
#include "support/PreviewWindow.h"

using namespace previewtest;
using testsupport::ScratchDir;
using testsupport::DragThrough;
using testsupport::SendMouse;

namespace {

CropRect ModelCrop(const CTambleVideoDocModel& m) {
    return CropRect{m.GetCropLeft(), m.GetCropTop(), m.GetCropRight(), m.GetCropBottom()};
}

bool IsRed(QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; }
bool IsBlue(QColor c) { return c.blue() > 200 && c.red() < 60; }

TEST(MediaPreviewLayout, FitZoomAndRotationSizeThePicture) {
    PreviewWindow w(300, 300);
    w.Open(BarsMovie());
    w.preview->OnMessage(msg_ZoomFit, nullptr);
    QApplication::processEvents();  // the scroll bars settle
    EXPECT_EQ(w.preview->GetImageRect(), QRect(9, 9, 282, 211));
    EXPECT_DOUBLE_EQ(w.preview->GetEffectiveZoom(), 282.0 / 640.0);
    // The picture is drawn over the pane's face.
    const QColor face = w.preview->palette().color(QPalette::Active, QPalette::Button);
    EXPECT_NE(w.Grab().pixelColor(150, 100), face);
    w.preview->OnMessage(msg_Zoom50, nullptr);
    EXPECT_EQ(w.preview->GetImageSize(), QSize(320 + 18, 240 + 18));
    w.preview->OnMessage(msg_Zoom200, nullptr);
    w.model.SetRotation(90);
    EXPECT_EQ(w.preview->GetImageSize(), QSize(960 + 18, 1280 + 18));
}

TEST(MediaPreviewPicture, FlipsTurnsAndTheCropAreDrawnAsTheOutputWillBe) {
    PreviewWindow w(700, 520);
    w.Open(HalvesMovie());  // 320 x 120, red | blue
    auto at = [&](int x, int y) { return w.Grab().pixelColor(w.At(9 + x, 9 + y)); };
    EXPECT_TRUE(IsRed(at(50, 60)) && IsBlue(at(270, 60)));
    w.model.SetRotation(90);  // a quarter turn clockwise: the left half goes on top
    EXPECT_TRUE(IsRed(at(60, 50)) && IsBlue(at(60, 270)));
    w.model.SetRotation(0);
    // Outside the crop is washed out; a blue frame one pixel outside the
    // crop (at zoom 1 the frame's edge maps c to c + 1).
    w.model.SetCrop(20, 20, 300, 100);
    EXPECT_TRUE(IsRed(at(60, 60)));
    EXPECT_GT(at(10, 60).green(), 100);
    EXPECT_EQ(at(20, 40), QColor(0, 0, 255));
}

TEST(MediaPreviewCrop, DraggingAnEdgeUpdatesTheFieldsAndOnReleaseTheModel) {
    PreviewWindow w(700, 520);
    w.Open(BarsMovie());
    w.model.SetCrop(100, 50, 300, 250);
    QWidget* frame = w.Frame();
    SendMouse(frame, QEvent::MouseMove, w.At(309, 159));
    EXPECT_EQ(QtAppearance::LastCursorNumber(), 1002);  // the cursor tells what a drag would do
    SendMouse(frame, QEvent::MouseButtonPress, w.At(309, 159));
    EXPECT_TRUE(w.preview->IsDraggingCrop());
    SendMouse(frame, QEvent::MouseMove, w.At(150, 159));
    EXPECT_EQ(w.fields[4]->value(), 141) << "fields follow the drag";
    EXPECT_EQ(w.model.GetCropRight(), 300) << "the model changes on release only";
    SendMouse(frame, QEvent::MouseMove, w.At(9, 159));
    SendMouse(frame, QEvent::MouseButtonRelease, w.At(9, 159));
    EXPECT_EQ(ModelCrop(w.model), (CropRect{100, 50, 104, 250}));  // four pixels from the other edge
    EXPECT_EQ(std::pair(w.fields[2]->value(), w.fields[4]->value()), std::pair(100, 104));
    // With a ratio of two, ten pixels down widen by twenty, pushed from the right.
    w.model.SetCustomSize(true);
    w.model.SetOutputWidth(200);
    w.model.SetOutputHeight(100);
    w.model.SetConstrainProportions(true);
    w.model.SetCrop(440, 100, 640, 200);
    DragThrough(w.Frame(), {w.At(9 + 540, 9 + 200), w.At(9 + 540, 9 + 205), w.At(9 + 540, 9 + 210)});
    EXPECT_EQ(ModelCrop(w.model), (CropRect{420, 100, 640, 210}));
}

TEST(MediaPreviewCrop, DraggingPastTheFrameScrollsAndControlScrollsByHand) {
    PreviewWindow w(300, 300);
    w.Open(BarsMovie());
    QApplication::processEvents();
    w.model.SetCrop(100, 50, 250, 250);
    const int frameRight = w.preview->GetFrameSize().width();
    ASSERT_EQ(w.preview->GetScrollPosition(), QPoint(0, 0));
    DragThrough(w.Frame(), {w.At(259, 159), QPoint(frameRight + 10, 159)});
    EXPECT_GT(w.preview->GetScrollPosition().x(), 0);
    EXPECT_EQ(w.model.GetCropRight(), 250 + (frameRight + 10 - 259));

    w.model.SetCrop(0, 0, 640, 480);
    w.preview->OnMessage(msg_Zoom200, nullptr);
    QApplication::processEvents();
    w.preview->ScrollImageTo(100, 100, true);
    DragThrough(w.Frame(), {QPoint(150, 150), QPoint(120, 140), QPoint(100, 130)}, Qt::ControlModifier);
    EXPECT_EQ(w.preview->GetScrollPosition(), QPoint(150, 120));
    EXPECT_EQ(ModelCrop(w.model), (CropRect{0, 0, 640, 480})) << "no crop edit";
}

TEST(MediaPreviewSplit, TheDividerStaysTenPixelsFromTheEdgesAndStoresItsPlace) {
    PreviewWindow w(300, 300);
    w.Open(BarsMovie());
    w.preview->OnMessage(msg_ZoomFit, nullptr);
    w.ChooseTab(2);
    QApplication::processEvents();
    ASSERT_TRUE(w.preview->IsSplit());
    EXPECT_EQ(w.preview->GetDividerX(), 150);
    const int middle = w.preview->GetDividerMiddle();
    SendMouse(w.Frame(), QEvent::MouseMove, w.At(middle, 100));
    EXPECT_EQ(QtAppearance::LastCursorNumber(), 17);
    DragThrough(w.Frame(), {w.At(middle, 100), w.At(60, 100), w.At(-50, 100)});
    EXPECT_EQ(w.preview->GetSplitPosition(), 10 * 256 / 300);
    const int moved = w.preview->GetDividerMiddle();
    DragThrough(w.Frame(), {w.At(moved, 100), w.At(moved + 141, 100)});  // back to the exact middle
    EXPECT_EQ(w.preview->GetSplitPosition(), 128);
    DragThrough(w.Frame(), {w.At(148, 100), w.At(400, 100)});
    EXPECT_EQ(w.preview->GetSplitPosition(), 290 * 256 / 300);
    EXPECT_EQ(ModelCrop(w.model), (CropRect{0, 0, 640, 480}));
}

TEST(MediaPreviewSplit, TheSplitImageHoldsTheCropTwiceWithHalfAFrameBetween) {
    PreviewWindow w(300, 300);
    w.Open(HalvesMovie());
    w.model.SetCrop(200, 0, 320, 120);  // blue only
    w.ChooseTab(2);
    EXPECT_EQ(w.preview->GetImageSize(), QSize(120 + 18 + 150, 120 + 18));
    const QImage shot = w.Grab();
    EXPECT_TRUE(IsBlue(shot.pixelColor(w.At(9 + 10, 9 + 60))));
    EXPECT_TRUE(IsBlue(shot.pixelColor(w.At(9 + w.preview->GetDividerX() - 2 + 10, 9 + 60))));
}

TEST(MediaPreviewTabs, EachTabSetsTheModeAndTabFourKeepsIt) {
    PreviewWindow w;
    w.Open(BarsMovie());
    EXPECT_FALSE(w.preview->IsSplit());
    // Tab, split, compression shown, filters shown, captions shown.
    const std::tuple<int, bool, bool, bool, bool> tabs[] = {
        {3, true, true, true, true}, {4, true, true, true, false}, {2, true, false, true, true}, {1, false, false, false, false}};
    for (const auto& [tab, split, compression, filters, captions] : tabs) {
        w.ChooseTab(tab);
        EXPECT_EQ(w.preview->IsSplit(), split) << tab;
        if (split) {
            EXPECT_EQ(w.preview->GetShowCompression(), compression) << tab;
            EXPECT_EQ(w.preview->GetShowFilters(), filters) << tab;
        }
        EXPECT_EQ(!w.before->isHidden() && !w.after->isHidden(), captions) << tab;
    }
}

TEST(MediaPreviewDrop, OnlyAThumbnailIsTakenAndItBecomesTheWatermark) {
    PreviewWindow w(700, 520);
    w.Open(BarsMovie());
    const fs::path picture = pictures::Picture(40, 30);
    const FSSpec spec = Spec(picture);
    SDragItem codec, thumbnail;
    codec.flavors.emplace_back(kFlavorVideoCodec, QByteArray(272, 'x'));
    EXPECT_FALSE(w.preview->HandleDrop({codec}, QPoint(50, 50)));
    EXPECT_EQ(CDelayedDrop::CountPending(), 0);
    const QPoint probe = w.At(630, 470);  // inside the bottom-right corner of the crop
    const QColor beforeDrop = w.Grab().pixelColor(probe);
    thumbnail.flavors.emplace_back(kFlavorThumbnail, QByteArray(reinterpret_cast<const char*>(&spec), sizeof spec));
    EXPECT_TRUE(w.preview->HandleDrop({thumbnail}, QPoint(50, 50)));
    RunRepeatTasks();
    EXPECT_EQ(w.model.GetWatermarkFile().Path(), picture.string());
    EXPECT_TRUE(IsRed(w.Grab().pixelColor(probe)));
    EXPECT_FALSE(IsRed(beforeDrop));
    ASSERT_NE(w.preview->GetWatermarkReader(), nullptr);
    w.model.SetOutputWidth(320);  // size changes drop the reader; the next draw makes it again
    EXPECT_EQ(w.preview->GetWatermarkReader(), nullptr);
    w.Grab();
    EXPECT_NE(w.preview->GetWatermarkReader(), nullptr);
    // An unreadable watermark shows the yellow placeholder, its bottom edge
    // just inside the crop's bottom-right corner.
    testsupport::WriteBytes(ScratchDir() / "notes.png", "not a picture");
    w.model.SetWatermarkFile(Spec(ScratchDir() / "notes.png"));
    w.model.SetCustomSize(false);
    const QImage shot = w.Grab();
    EXPECT_FALSE(w.preview->GetWatermarkReader()->HasImporter());
    EXPECT_EQ(shot.pixelColor(w.At(9 + 600, 9 + 478)), QColor(128, 128, 0));
}

}  // namespace
