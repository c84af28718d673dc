// The preview pane in a window, driven by mouse events and messages like a
// user would: layout and zoom, crop dragging, the divider, the mode tabs,
// drops, and what the pictures show.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>
#include <cstring>
#include <fstream>

#include "PreviewTestSupport.h"
#include "model/SChangeInfo.h"
#include "preview/CDelayedDrop.h"

using namespace previewtest;

namespace {

void SendMouse(QWidget* w, QEvent::Type type, QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(p), w->mapToGlobal(QPointF(p)), button, buttons, mods);
    QApplication::sendEvent(w, &event);
}

// Presses at one frame point, moves through the others, releases at the last.
void Drag(QWidget* w, std::initializer_list<QPoint> path, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    auto it = path.begin();
    SendMouse(w, QEvent::MouseButtonPress, *it, mods);
    QPoint last = *it;
    for (++it; it != path.end(); ++it) {
        SendMouse(w, QEvent::MouseMove, *it, mods);
        last = *it;
    }
    SendMouse(w, QEvent::MouseButtonRelease, last, mods);
}

CropRect ModelCrop(const CTambleVideoDocModel& m) {
    return CropRect{m.GetCropLeft(), m.GetCropTop(), m.GetCropRight(), m.GetCropBottom()};
}

// Proportions held at width / height = 2.
void LockRatioTwo(CTambleVideoDocModel& model) {
    model.SetCustomSize(true);
    model.SetOutputWidth(200);
    model.SetOutputHeight(100);
    model.SetConstrainProportions(true);
    ASSERT_FLOAT_EQ(model.GetAspectRatio(), 2.0f);
}

TEST(MediaPreviewLayout, FitPutsA640By480PictureIntoA300By300FrameAt282By211) {
    PreviewWindow w(300, 300);
    w.Open(BarsMovie());
    w.preview->OnMessage(msg_ZoomFit, nullptr);
    QApplication::processEvents();  // the scroll bars settle
    ASSERT_EQ(w.preview->GetFrameSize(), QSize(300, 300));
    EXPECT_EQ(w.preview->GetImageSize(), QSize(282 + 18, 211 + 18));
    EXPECT_DOUBLE_EQ(w.preview->GetEffectiveZoom(), 282.0 / 640.0);
    EXPECT_EQ(w.preview->GetImageRect(), QRect(9, 9, 282, 211));

    // The picture fills its rectangle; the rest of the frame is the pane's face.
    const QImage shot = w.Grab();
    const QColor face = w.preview->palette().color(QPalette::Active, QPalette::Button);
    EXPECT_EQ(shot.pixelColor(4, 100), face);
    EXPECT_EQ(shot.pixelColor(150, 260), face);
    EXPECT_NE(shot.pixelColor(150, 100), face);
}

TEST(MediaPreviewLayout, ZoomButtonsScaleThePictureAndRotationTurnsIt) {
    PreviewWindow w(300, 300);
    w.Open(BarsMovie());
    w.preview->OnMessage(msg_Zoom50, nullptr);
    EXPECT_EQ(w.preview->GetImageSize(), QSize(320 + 18, 240 + 18));
    w.preview->OnMessage(msg_Zoom200, nullptr);
    EXPECT_EQ(w.preview->GetImageSize(), QSize(1280 + 18, 960 + 18));
    w.model.SetRotation(90);
    EXPECT_EQ(w.preview->GetImageSize(), QSize(960 + 18, 1280 + 18));
}

TEST(MediaPreviewPicture, FlipsAndRotationsAreDrawnAsTheOutputWillBe) {
    PreviewWindow w(700, 520);
    w.Open(HalvesMovie());  // 320 x 120, red | blue
    auto at = [&](int x, int y) { return w.Grab().pixelColor(w.At(9 + x, 9 + y)); };
    auto isRed = [](QColor c) { return c.red() > 200 && c.blue() < 60; };
    auto isBlue = [](QColor c) { return c.blue() > 200 && c.red() < 60; };
    EXPECT_TRUE(isRed(at(50, 60)));
    EXPECT_TRUE(isBlue(at(270, 60)));
    w.model.SetFlipHorizontal(true);
    EXPECT_TRUE(isBlue(at(50, 60)));
    EXPECT_TRUE(isRed(at(270, 60)));
    w.model.SetFlipHorizontal(false);
    w.model.SetRotation(90);  // a quarter turn clockwise: the left half goes on top
    EXPECT_TRUE(isRed(at(60, 50)));
    EXPECT_TRUE(isBlue(at(60, 270)));
}

TEST(MediaPreviewPicture, OutsideTheCropIsDimmedAndTheCropIsFramed) {
    PreviewWindow w(700, 520);
    w.Open(HalvesMovie());
    w.model.SetCrop(20, 20, 300, 100);
    const QImage shot = w.Grab();
    const QColor inside = shot.pixelColor(w.At(9 + 60, 9 + 60));
    const QColor outside = shot.pixelColor(w.At(9 + 10, 9 + 60));
    EXPECT_GT(inside.red(), 200);
    EXPECT_LT(inside.green(), 60);
    EXPECT_GT(outside.green(), 100) << "the part cut away is washed out";
    // Blue frame one pixel outside the crop (at zoom 1 the crop frame's edge
    // maps c to c + 1).
    EXPECT_EQ(shot.pixelColor(w.At(9 + 21 - 1, 9 + 40)), QColor(0, 0, 255));
    // An inactive pane dims the whole picture and shows no crop frame.
    w.preview->Deactivate();
    const QImage dim = w.Grab();
    EXPECT_GT(dim.pixelColor(w.At(9 + 60, 9 + 60)).green(), 100);
    EXPECT_NE(dim.pixelColor(w.At(9 + 20, 9 + 40)), QColor(0, 0, 255));
}

TEST(MediaPreviewCrop, DraggingAnEdgeStopsFourPixelsFromTheOtherAndUpdatesTheFields) {
    PreviewWindow w(700, 520);
    w.Open(BarsMovie());
    w.model.SetCrop(100, 50, 300, 250);
    EXPECT_EQ(w.fields[4]->value(), 300);
    QWidget* frame = w.Frame();
    SendMouse(frame, QEvent::MouseButtonPress, w.At(309, 159));
    EXPECT_TRUE(w.preview->IsDraggingCrop());
    SendMouse(frame, QEvent::MouseMove, w.At(150, 159));
    EXPECT_EQ(w.fields[4]->value(), 141) << "fields follow the drag";
    EXPECT_EQ(w.model.GetCropRight(), 300) << "the model changes on release only";
    SendMouse(frame, QEvent::MouseMove, w.At(9, 159));
    SendMouse(frame, QEvent::MouseButtonRelease, w.At(9, 159));
    EXPECT_EQ(ModelCrop(w.model), (CropRect{100, 50, 104, 250}));
    EXPECT_EQ(w.fields[2]->value(), 100);
    EXPECT_EQ(w.fields[4]->value(), 104);
    EXPECT_EQ(w.fields[0]->value(), 640);
    EXPECT_EQ(w.fields[1]->value(), 480);
}

TEST(MediaPreviewCrop, WithARatioOfTwoTenPixelsDownWidenByTwentyPushedFromTheRight) {
    PreviewWindow w(700, 520);
    w.Open(BarsMovie());
    LockRatioTwo(w.model);
    w.model.SetCrop(440, 100, 640, 200);
    // The bottom handle sits at the middle of the bottom edge.
    Drag(w.Frame(), {w.At(9 + 540, 9 + 200), w.At(9 + 540, 9 + 205), w.At(9 + 540, 9 + 210)});
    EXPECT_EQ(ModelCrop(w.model), (CropRect{420, 100, 640, 210}));
}

TEST(MediaPreviewCrop, MovingAgainstThePictureEdge) {
    PreviewWindow w(700, 520);
    w.Open(BarsMovie());
    w.model.SetCrop(500, 100, 600, 150);
    const QPoint middle = w.At(9 + 550, 9 + 125);
    Drag(w.Frame(), {middle, middle + QPoint(60, 0)});
    EXPECT_EQ(ModelCrop(w.model), (CropRect{560, 100, 640, 150})) << "free: cut at the edge";

    w.model.SetCrop(500, 100, 600, 150);
    LockRatioTwo(w.model);
    Drag(w.Frame(), {middle, middle + QPoint(60, 0)});
    EXPECT_EQ(ModelCrop(w.model), (CropRect{500, 100, 600, 150})) << "locked: not moved";
    Drag(w.Frame(), {middle, middle + QPoint(40, 0)});
    EXPECT_EQ(ModelCrop(w.model), (CropRect{540, 100, 640, 150}));
}

TEST(MediaPreviewCrop, DraggingPastTheFrameScrollsTowardTheMouse) {
    PreviewWindow w(300, 300);
    w.Open(BarsMovie());
    QApplication::processEvents();
    w.model.SetCrop(100, 50, 250, 250);
    const int frameRight = w.preview->GetFrameSize().width();
    ASSERT_EQ(w.preview->GetScrollPosition(), QPoint(0, 0));
    Drag(w.Frame(), {w.At(259, 159), QPoint(frameRight + 10, 159)});
    EXPECT_GT(w.preview->GetScrollPosition().x(), 0);
    EXPECT_EQ(w.model.GetCropRight(), 250 + (frameRight + 10 - 259));
}

TEST(MediaPreviewCrop, TheCursorTellsWhatADragWouldDo) {
    PreviewWindow w(700, 520);
    w.Open(BarsMovie());
    w.model.SetCrop(100, 50, 300, 250);
    auto cursorAt = [&](QPoint image, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        SendMouse(w.Frame(), QEvent::MouseMove, w.At(image.x(), image.y()), mods);
        return QtAppearance::LastCursorNumber();
    };
    EXPECT_EQ(cursorAt({309, 159}), 1002);
    EXPECT_EQ(cursorAt({209, 59}), 1003);
    EXPECT_EQ(cursorAt({109, 59}), 1000);
    EXPECT_EQ(cursorAt({200, 150}), 1004);
    EXPECT_EQ(cursorAt({500, 400}), 0);
    EXPECT_EQ(cursorAt({500, 400}, Qt::ControlModifier), 8);
    EXPECT_EQ(w.Frame()->cursor().shape(), Qt::BitmapCursor);
}

TEST(MediaPreviewScroll, TheControlKeyScrollsByHand) {
    PreviewWindow w(300, 300);
    w.Open(BarsMovie());
    w.preview->OnMessage(msg_Zoom200, nullptr);
    QApplication::processEvents();
    w.preview->ScrollImageTo(100, 100, true);
    Drag(w.Frame(), {QPoint(150, 150), QPoint(120, 140), QPoint(100, 130)}, Qt::ControlModifier);
    EXPECT_EQ(w.preview->GetScrollPosition(), QPoint(150, 120));
    EXPECT_EQ(ModelCrop(w.model), (CropRect{0, 0, 640, 480})) << "no crop edit";
}

TEST(MediaPreviewSplit, TheDividerStaysTenPixelsFromTheEdgesAndStoresItsPlace) {
    PreviewWindow w(300, 300);
    w.Open(BarsMovie());
    w.preview->OnMessage(msg_ZoomFit, nullptr);
    w.ChooseTab(2);
    QApplication::processEvents();
    ASSERT_EQ(w.preview->GetFrameSize().width(), 300);
    ASSERT_TRUE(w.preview->IsSplit());
    EXPECT_EQ(w.preview->GetDividerX(), 150);
    const int middle = w.preview->GetDividerMiddle();
    EXPECT_EQ(middle, 149);

    SendMouse(w.Frame(), QEvent::MouseMove, w.At(middle, 100));
    EXPECT_EQ(QtAppearance::LastCursorNumber(), 17);
    SendMouse(w.Frame(), QEvent::MouseMove, w.At(middle + 5, 100));
    EXPECT_EQ(QtAppearance::LastCursorNumber(), 9);

    Drag(w.Frame(), {w.At(middle, 100), w.At(60, 100), w.At(-50, 100)});
    EXPECT_EQ(w.preview->GetSplitPosition(), 10 * 256 / 300);
    const int moved = w.preview->GetDividerMiddle();
    EXPECT_EQ(moved, 8);
    // Back to the exact middle of the frame.
    Drag(w.Frame(), {w.At(moved, 100), w.At(moved + 141, 100)});
    EXPECT_EQ(w.preview->GetSplitPosition(), 128);
    Drag(w.Frame(), {w.At(148, 100), w.At(400, 100)});
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
    const QColor before = shot.pixelColor(w.At(9 + 10, 9 + 60));
    const int afterLeft = 9 + w.preview->GetDividerX() - 2;
    const QColor after = shot.pixelColor(w.At(afterLeft + 10, 9 + 60));
    EXPECT_GT(before.blue(), 200);
    EXPECT_LT(before.red(), 60);
    EXPECT_GT(after.blue(), 200);
    EXPECT_LT(after.red(), 60);
}

TEST(MediaPreviewTabs, EachTabSetsTheModeAndTabFourKeepsIt) {
    PreviewWindow w;
    w.Open(BarsMovie());
    EXPECT_FALSE(w.preview->IsSplit());
    EXPECT_TRUE(w.before->isHidden());
    w.ChooseTab(3);
    EXPECT_TRUE(w.preview->GetShowCompression());
    EXPECT_TRUE(w.preview->GetShowFilters());
    EXPECT_FALSE(w.before->isHidden());
    EXPECT_FALSE(w.after->isHidden());
    w.ChooseTab(4);
    EXPECT_TRUE(w.preview->GetShowCompression());
    EXPECT_TRUE(w.preview->GetShowFilters());
    EXPECT_TRUE(w.before->isHidden());
    EXPECT_TRUE(w.after->isHidden());
    w.ChooseTab(2);
    EXPECT_FALSE(w.preview->GetShowCompression());
    EXPECT_TRUE(w.preview->GetShowFilters());
    w.ChooseTab(1);
    EXPECT_FALSE(w.preview->IsSplit());
    EXPECT_TRUE(w.after->isHidden());
}

TEST(MediaPreviewDrop, OnlyAThumbnailIsTakenAndItBecomesTheWatermark) {
    PreviewWindow w(700, 520);
    w.Open(BarsMovie());
    const fs::path picture = testsupport::ScratchDir() / "mark.png";
    ASSERT_EQ(testsupport::RunCommand("ffmpeg -v error -y -f lavfi -i color=c=red:s=40x30 -frames:v 1 " +
                                      testsupport::ShellQuote(picture.string())),
              0);
    const FSSpec spec = Spec(picture);
    const QByteArray reference(reinterpret_cast<const char*>(&spec), sizeof spec);

    SDragItem codec;
    codec.flavors.emplace_back(kFlavorVideoCodec, QByteArray(272, 'x'));
    EXPECT_FALSE(w.preview->HandleDrop({codec}, QPoint(50, 50)));
    EXPECT_EQ(CDelayedDrop::CountPending(), 0);

    const QPoint probe = w.At(630, 470);  // inside the bottom-right corner of the crop
    const QColor beforeDrop = w.Grab().pixelColor(probe);
    SDragItem thumbnail;
    thumbnail.flavors.emplace_back(kFlavorThumbnail, reference);
    EXPECT_TRUE(w.preview->HandleDrop({thumbnail}, QPoint(50, 50)));
    EXPECT_FALSE(w.model.GetWatermarkFile().IsSet()) << "taken up only after the drag";
    RunRepeatTasks();
    EXPECT_EQ(w.model.GetWatermarkFile().Path(), picture.string());
    const QColor afterDrop = w.Grab().pixelColor(probe);
    EXPECT_GT(afterDrop.red(), 240);
    EXPECT_LT(afterDrop.green() + afterDrop.blue(), 20);
    EXPECT_NE(beforeDrop, afterDrop);
    ASSERT_NE(w.preview->GetWatermarkReader(), nullptr);
    EXPECT_TRUE(w.preview->GetWatermarkReader()->HasImporter());
    // Size changes drop the reader; it comes back at the next draw.
    w.model.SetOutputWidth(320);
    EXPECT_EQ(w.preview->GetWatermarkReader(), nullptr);
    w.Grab();
    EXPECT_NE(w.preview->GetWatermarkReader(), nullptr);
}

TEST(MediaPreviewDrop, AnUnreadableWatermarkShowsTheYellowPlaceholder) {
    PreviewWindow w(700, 520);
    w.Open(BarsMovie());
    const fs::path notPicture = testsupport::ScratchDir() / "notes.png";
    { std::ofstream(notPicture) << "not a picture"; }
    w.model.SetWatermarkFile(Spec(notPicture));
    const QImage shot = w.Grab();
    ASSERT_NE(w.preview->GetWatermarkReader(), nullptr);
    EXPECT_FALSE(w.preview->GetWatermarkReader()->HasImporter());
    // The box's bottom edge lies just inside the crop's bottom-right corner.
    EXPECT_EQ(shot.pixelColor(w.At(9 + 600, 9 + 478)), QColor(128, 128, 0));
}

TEST(MediaPreviewModel, WithoutAModelNothingHappens) {
    PreviewWindow w;
    const QImage shot = w.Grab();
    EXPECT_EQ(shot.pixelColor(100, 100), w.preview->palette().color(QPalette::Active, QPalette::Button));
    Drag(w.Frame(), {QPoint(20, 20), QPoint(100, 100)});
    w.ChooseTab(2);
    RunRepeatTasks();
    EXPECT_EQ(w.preview->GetModel(), nullptr);
}

}  // namespace
