// The GUI adapters the windows are built on: the shared panels of
// MyMultiPanel, the layout loader and polled dialogs.
#include <QTest>
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "docwindow/MyMultiPanel.h"
#include "framework/LListener.h"
#include "framework/gui/StDialogHandler.h"
#include "framework/gui/ULayoutLoader.h"
#include "framework/gui/URegistrar.h"

namespace {

TEST(MultiPanels, MyMultiPanelSharesPanelsOneToThree) {
    MyMultiPanel view;
    view.SetPanelLayoutsText(QStringLiteral("2002,0,0,2005"));
    view.SwitchToPanel(4);
    EXPECT_EQ(view.BuildCount(), 1);
    view.SwitchToPanel(3);  // builds panel 1's layout
    EXPECT_EQ(view.BuildCount(), 2);
    QWidget* shared = view.currentWidget();
    ASSERT_NE(shared->findChild<QWidget*>(QStringLiteral("iLFT")), nullptr);
    view.SwitchToPanel(2);
    view.SwitchToPanel(1);
    EXPECT_EQ(view.BuildCount(), 2);  // only the number changed
    EXPECT_EQ(view.GetCurrentPanel(), 1);
    EXPECT_EQ(view.currentWidget(), shared);
    // Back from panel 4 the shared panel is shown again, not built again.
    view.SwitchToPanel(4);
    view.SwitchToPanel(2);
    EXPECT_EQ(view.BuildCount(), 2);
    EXPECT_EQ(view.currentWidget(), shared);
    EXPECT_EQ(view.findChildren<QWidget*>(QStringLiteral("iLFT")).size(), 1);
}

TEST(Layouts, RegisteredClassesAreBuiltAndFinishedOnce) {
    const URegistrar::Entry* registered = URegistrar::Find(QStringLiteral("CVideoCodecList"));
    ASSERT_NE(registered, nullptr);
    const URegistrar::Entry saved = *registered;
    struct Restore {  // the class goes back into the registry after the test
        const URegistrar::Entry& entry;
        ~Restore() { URegistrar::RegisterClass(entry.classID, entry.className, entry.factory); }
    } restore{saved};
    QWidget parent;
    static int finished = 0;
    struct Counting : QWidget, LFinishCreate {
        using QWidget::QWidget;
        void FinishCreateSelf() override { ++finished; }
    };
    URegistrar::RegisterClass<Counting>(saved.classID, QStringLiteral("CVideoCodecList"));
    QWidget* panel = ULayoutLoader::Load(2011, &parent);
    ULayoutLoader::FinishCreate(panel);
    ULayoutLoader::FinishCreate(panel);
    EXPECT_NE(dynamic_cast<Counting*>(panel->findChild<QWidget*>(QStringLiteral("codV"))), nullptr);
    EXPECT_EQ(finished, 1);
}

TEST(Dialogs, PollAnswersTheCloseBoxAsCancel) {
    StDialogHandler dialog(2800, nullptr);
    dialog.GetDialog()->show();
    EXPECT_EQ(dialog.PollDialog(), 0);
    dialog.GetDialog()->close();
    EXPECT_TRUE(dialog.GetDialog()->isVisible());  // the poller decides
    EXPECT_EQ(dialog.PollDialog(), msg_Cancel);
}

}  // namespace
