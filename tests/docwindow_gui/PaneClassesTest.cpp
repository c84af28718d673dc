// Hints, the jelly button and the data-rate graph.
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "docwindow/CDataRateView.h"
#include "docwindow/CHintView.h"
#include "docwindow/CJellyButton.h"
#include "docwindow/LHintAttachment.h"
#include "docwindow/LHintMouseTracker.h"
#include "docwindow/LContextWindow.h"
#include "appearance/StDrawingContext.h"
#include "framework/LListener.h"

namespace {

// A shown, active window with one hinted button.
struct HintedWindow {
    QWidget window;
    QPushButton* button;
    LHintAttachment* hint;
    uint32_t t0 = 100000;

    HintedWindow() {
        window.resize(300, 200);
        button = new QPushButton(QStringLiteral("Rotate"), &window);
        button->setObjectName(QStringLiteral("ROTL"));
        button->setGeometry(20, 20, 100, 30);
        hint = new LHintAttachment(button, QStringLiteral("Turn the picture a quarter to the left"));
        window.show();
        QApplication::setActiveWindow(&window);
        guitest::WaitFor([this] { return window.isActiveWindow(); }, 2000);
    }
    EventRecord At(uint32_t ticks, int dx = 0) const {
        EventRecord e;
        e.when = t0 + ticks;
        const QPoint global = button->mapToGlobal(QPoint(30 + dx, 10));
        e.where.h = global.x();
        e.where.v = global.y();
        return e;
    }
    void Send(MessageT message, const EventRecord& e) {
        LAttachment::ExecuteAttachments(button, message, const_cast<EventRecord*>(&e));
    }
    bool Shown() const {
        auto* view = window.findChild<CHintView*>(QStringLiteral("@hnt"));
        return view != nullptr && view->isVisible();
    }
};

// Mouse messages at times in ticks (60 a second), sideways moves in pixels,
// and whether the hint shows after each.
struct HintStep {
    MessageT message;
    uint32_t ticks;
    int dx;
    bool shown;
};
struct HintCase {
    const char* name;
    std::vector<HintStep> steps;
};

TEST(Hints, ShowAfterTwoSecondsOfRestForThreeSecondsAndMovingHidesThem) {
    const HintCase cases[] = {
        {"rest", {{msg_MouseEntered, 0, 0, false}, {msg_MouseWithin, 60, 0, false}, {msg_MouseWithin, 114, 0, false},
                  {msg_MouseWithin, 120, 0, true}, {msg_MouseWithin, 299, 0, true}, {msg_MouseWithin, 300, 0, false}}},
        // One pixel hides it; resting again does not bring it back, leaving
        // and coming in again does.
        {"one pixel", {{msg_MouseEntered, 0, 0, false}, {msg_MouseWithin, 120, 0, true}, {msg_MouseWithin, 130, 1, false},
                       {msg_MouseWithin, 400, 1, false}, {msg_MouseWithin, 900, 1, false}, {msg_MouseLeft, 910, 1, false},
                       {msg_MouseEntered, 920, 1, false}, {msg_MouseWithin, 1039, 1, false},
                       {msg_MouseWithin, 1040, 1, true}}},
        // Moving before it shows restarts the wait.
        {"moved early", {{msg_MouseEntered, 0, 0, false}, {msg_MouseWithin, 100, 2, false},
                         {msg_MouseWithin, 150, 2, false}, {msg_MouseWithin, 220, 2, true}}},
    };
    for (const HintCase& c : cases) {
        HintedWindow w;
        ASSERT_TRUE(w.window.isActiveWindow());
        for (const HintStep& step : c.steps) {
            w.Send(step.message, w.At(step.ticks, step.dx));
            EXPECT_EQ(w.Shown(), step.shown) << c.name << " at " << step.ticks;
        }
    }
}

// The hint sits below the mouse, or above and to the left near the bottom
// right corner; a click hides it.
TEST(Hints, TheHintSitsBelowTheMouseOrAboveNearTheCornerAndAClickHidesIt) {
    const QSize window(300, 200), box(80, 16);
    EXPECT_EQ(CHintView::PlaceFor(QPoint(100, 50), box, window, 16), QPoint(100, 66));
    const QPoint corner = CHintView::PlaceFor(QPoint(290, 190), box, window, 16);
    EXPECT_EQ(corner.y(), 190 - (16 + 16 + 1));
    EXPECT_EQ(corner.x() + box.width(), 299);
    HintedWindow w;
    w.Send(msg_MouseEntered, w.At(0));
    w.Send(msg_MouseWithin, w.At(120));
    ASSERT_TRUE(w.Shown());
    auto* view = w.window.findChild<CHintView*>(QStringLiteral("@hnt"));
    EXPECT_EQ(view->Text(), QStringLiteral("Turn the picture a quarter to the left"));
    EXPECT_GT(view->y(), 10 + 20);
    EXPECT_LE(view->geometry().right(), w.window.width() - 1);
    QTest::mouseClick(w.button, Qt::LeftButton);
    EXPECT_FALSE(w.Shown());
}

struct Heard : LListener {
    int count = 0;
    void OnMessage(MessageT message, void*) override { count += message == MessageT(FourCC("EPRT")) ? 1 : 0; }
};

// Blue when usable, grey otherwise, half as bright while pressed; a press
// released outside sends nothing.
TEST(JellyButton, ColoursFollowTheStateAndOnlyAClickInsideSends) {
    const QColor usableColour = CJellyButton::StateColour(2, false), pressed = CJellyButton::StateColour(2, true);
    EXPECT_NEAR(pressed.blue() * 2, usableColour.blue(), 1);
    QWidget window;  // shown and active, with the Compress button
    window.resize(300, 100);
    auto* button = new CJellyButton(&window);
    button->setObjectName(QStringLiteral("EPRT"));
    button->setText(QStringLiteral("Compress"));
    button->setGeometry(10, 10, 140, 36);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(guitest::WaitFor([&] { return window.isActiveWindow(); }, 2000));
    const QImage usable = button->Compose();
    EXPECT_EQ(button->ColourIndex(), 2);
    const QColor centre = usable.pixelColor(usable.width() / 2, usable.height() - 6);
    EXPECT_GT(centre.blue(), centre.red() + 60);

    Heard heard;
    button->AddListener(&heard);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 18));
    EXPECT_TRUE(button->IsPressed());
    QMouseEvent move(QEvent::MouseMove, QPointF(200, 80), button->mapToGlobal(QPointF(200, 80)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &move);
    EXPECT_FALSE(button->IsPressed());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(200, 80));
    EXPECT_EQ(heard.count, 0);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(20, 18));
    EXPECT_EQ(heard.count, 1);

    button->setEnabled(false);
    const QImage disabled = button->Compose();
    EXPECT_EQ(button->ColourIndex(), 5);
    const QColor grey = disabled.pixelColor(disabled.width() / 2, disabled.height() - 6);
    EXPECT_LT(std::abs(grey.red() - grey.blue()), 8);
    // Outside the shape nothing is drawn (the window shows through).
    EXPECT_EQ(disabled.pixelColor(0, 0).alpha(), 0);
}

TEST(DataRateView, DrawsKeyFramesRedAndTheRateLineAndWritesItsTimes) {
    CDataRateView view;
    view.resize(332, 160);
    view.Reset(DataRateTracker::kVideo);
    for (int i = 0; i < 120; ++i) view.AddFrame(i % 30 == 0 ? 40000 : 8000 + 100 * (i % 7), 20, i % 30 == 0);
    const QImage image = view.grab().toImage();
    int red = 0, green = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 32; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() == 255 && c.green() == 0 && c.blue() == 0;
            green += c.green() > 120 && c.red() < 90 && c.blue() < 120;
        }
    }
    EXPECT_GT(red, 20);
    EXPECT_GT(green, 20);
    EXPECT_EQ(CDataRateView::TimeText(0), QStringLiteral("0:00"));
    EXPECT_EQ(CDataRateView::TimeText(600 * 75), QStringLiteral("1:15"));
    EXPECT_EQ(CDataRateView::TimeText(600 * 3725), QStringLiteral("1:02:05"));
}

TEST(ContextWindow, KeepsItsDrawingContextOpenForItsWholeLife) {
    const int before = StDrawingContext::CountContexts();
    {
        std::unique_ptr<LContextWindow> window(LContextWindow::CreateContextWindow(3000, nullptr, LWindow::kDialog));
        EXPECT_EQ(StDrawingContext::CountContexts(), before + 1);
        ASSERT_NE(window->GetDrawingContext(), nullptr);
        EXPECT_EQ(StDrawingContext::GetCurrent(), window->GetDrawingContext());
        ASSERT_NE(window->GetDrawingContext()->GetDeviceContext(), nullptr);
        window->GetDrawingContext()->GetDeviceContext()->fillRect(QRect(5, 5, 20, 20), Qt::red);
        window->show();
        window->FlushDrawing();
        const QImage shown = window->grab().toImage();
        EXPECT_EQ(shown.pixelColor(10, 10), QColor(Qt::red));
        window->ClearDrawing();
        EXPECT_NE(window->grab().toImage().pixelColor(10, 10), QColor(Qt::red));
    }
    EXPECT_EQ(StDrawingContext::CountContexts(), before);
}

TEST(Hints, TheTrackerTellsThePaneUnderTheMouse) {
    HintedWindow w;
    LHintMouseTracker tracker;
    const EventRecord over = w.At(0);
    if (LHintMouseTracker::PaneAt(QPoint(over.where.h, over.where.v)) != w.button)
        GTEST_SKIP() << "this platform does not find windows by position";
    tracker.SpendTime(over);
    EXPECT_EQ(LHintMouseTracker::LastPane(), w.button);
    tracker.SpendTime(w.At(60));
    EXPECT_FALSE(w.Shown());
    tracker.SpendTime(w.At(120));
    EXPECT_TRUE(w.Shown());
    // Away from the button: it hears that the mouse left.
    EventRecord away = w.At(130);
    const QPoint empty = w.window.mapToGlobal(QPoint(250, 150));
    away.where.h = empty.x();
    away.where.v = empty.y();
    tracker.SpendTime(away);
    EXPECT_FALSE(w.Shown());
    EXPECT_NE(LHintMouseTracker::LastPane(), w.button);
    LHintMouseTracker::ForgetLastPane();
}

}  // namespace
