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
#include "framework/LListener.h"

namespace {

// A shown, active window with one hinted button.
struct HintedWindow {
    QWidget window;
    QPushButton* button;
    uint32_t t0 = 100000;

    HintedWindow() {
        window.resize(300, 200);
        button = new QPushButton(QStringLiteral("Rotate"), &window);
        button->setObjectName(QStringLiteral("ROTL"));  // the tracker looks for named panes
        button->setGeometry(20, 20, 100, 30);
        new LHintAttachment(button, QStringLiteral("Turn the picture a quarter to the left"));
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

struct Heard : LListener {
    int count = 0;
    void OnMessage(MessageT message, void*) override { count += message == MessageT(FourCC("EPRT")) ? 1 : 0; }
};

// The colour follows the state; a press released outside sends nothing.
TEST(JellyButton, TheColourFollowsTheStateAndOnlyAClickInsideSends) {
    QWidget window;  // shown and active, with the Compress button
    window.resize(300, 100);
    auto* button = new CJellyButton(&window);
    button->setObjectName(QStringLiteral("EPRT"));
    button->setText(QStringLiteral("Compress"));
    button->setGeometry(10, 10, 140, 36);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(guitest::WaitFor([&] { return window.isActiveWindow(); }, 2000));
    button->Compose();
    EXPECT_EQ(button->ColourIndex(), 2);

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
    button->Compose();
    EXPECT_EQ(button->ColourIndex(), 5);
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
    EXPECT_EQ(CDataRateView::TimeText(600 * 75), QStringLiteral("1:15"));
    EXPECT_EQ(CDataRateView::TimeText(600 * 3725), QStringLiteral("1:02:05"));
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
