// The GUI adapters the windows are built on: pane names, controls that
// broadcast, multi-panels (and the shared panels of MyMultiPanel), tabs
// that switch them, the layout loader and the commander chain.
#include <QTest>
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "docwindow/MyMultiPanel.h"
#include "framework/LListener.h"
#include "framework/gui/LCheckBox.h"
#include "framework/gui/LCommander.h"
#include "framework/gui/LEditField.h"
#include "framework/gui/LPlaceHolder.h"
#include "framework/gui/LTabsControl.h"
#include "framework/gui/StDialogHandler.h"
#include "framework/gui/ULayoutLoader.h"
#include "framework/gui/URegistrar.h"

namespace {

struct Heard : LListener {
    std::vector<std::pair<MessageT, int32_t>> messages;
    void OnMessage(MessageT message, void* parameter) override {
        messages.emplace_back(message, parameter ? *static_cast<int32_t*>(parameter) : -1);
    }
};

TEST(PaneNames, FourCharacterCodesAndSmallNumbersRoundTrip) {
    EXPECT_EQ(PaneName(PaneIDT(FourCC("mvPV"))), QStringLiteral("mvPV"));
    EXPECT_EQ(PaneName(PaneIDT(FourCC("BAR!"))), QStringLiteral("BAR!"));
    EXPECT_EQ(PaneName(3), QStringLiteral("3"));
    QWidget w;
    w.setObjectName(QStringLiteral("WIDT"));
    EXPECT_EQ(PaneIDOf(&w), PaneIDT(FourCC("WIDT")));
    w.setObjectName(QStringLiteral("4"));
    EXPECT_EQ(PaneIDOf(&w), 4);
    w.setObjectName(QString());
    EXPECT_EQ(PaneIDOf(&w), 0);
}

TEST(PaneNames, ARequiredPaneThatIsMissingThrowsNilP) {
    QWidget root;
    auto* box = new LCheckBox(&root);
    box->setObjectName(QStringLiteral("ASPC"));
    EXPECT_EQ(FindRequiredPane<LControl>(&root, PaneIDT(FourCC("ASPC"))), box);
    // The right name but not a control counts as missing.
    (new QWidget(&root))->setObjectName(QStringLiteral("SCAL"));
    try {
        FindRequiredPane<LControl>(&root, PaneIDT(FourCC("SCAL")));
        FAIL() << "no exception";
    } catch (const LException& e) {
        EXPECT_EQ(e.Code(), err_NilPointer);
    }
}

TEST(Controls, ACheckBoxBroadcastsItsValueUnlessQuieted) {
    LCheckBox box;
    box.setObjectName(QStringLiteral("ASPC"));
    Heard heard;
    box.AddListener(&heard);
    box.SetValue(1);
    box.SetValue(1);  // no change, no message
    {
        StQuietControl quiet(&box);
        box.SetValue(0);
    }
    box.click();
    ASSERT_EQ(heard.messages.size(), 2u);
    EXPECT_EQ(heard.messages[0], std::make_pair(MessageT(FourCC("ASPC")), 1));
    EXPECT_EQ(heard.messages[1], std::make_pair(MessageT(FourCC("ASPC")), 1));
    EXPECT_TRUE(box.IsBroadcasting());
}

TEST(Controls, AnEditFieldBroadcastsWhatTheUserTypedOnly) {
    QWidget window;
    auto* field = new LEditField(&window);
    field->setObjectName(QStringLiteral("WIDT"));
    Heard heard;
    field->AddListener(&heard);
    field->SetValue(640);  // a pane driving the field
    EXPECT_TRUE(heard.messages.empty());
    window.show();
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("321"));
    EXPECT_TRUE(heard.messages.empty());  // not until the edit is finished
    QTest::keyClick(field, Qt::Key_Return);
    ASSERT_EQ(heard.messages.size(), 1u);
    EXPECT_EQ(heard.messages[0].second, 321);
}

TEST(MultiPanels, MyMultiPanelSharesPanelsOneToThree) {
    MyMultiPanel view;
    view.SetPanelLayoutsText(QStringLiteral("2002,0,0,2005"));
    view.SwitchToPanel(4);
    EXPECT_EQ(view.BuildCount(), 1);
    view.SwitchToPanel(3);  // builds panel 1's layout
    EXPECT_EQ(view.BuildCount(), 2);
    EXPECT_EQ(view.GetPanelLayout(3), 2002);
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

TEST(MultiPanels, APlainMultiPanelBuildsEachPanelOnceAndKeepsIt) {
    LMultiPanelView view;
    view.SetPanelLayoutsText(QStringLiteral("2002,2005"));
    EXPECT_EQ(view.BuildCount(), 0);  // nothing before the first switch
    view.SwitchToPanel(2);
    view.SwitchToPanel(1);
    view.SwitchToPanel(2);
    EXPECT_EQ(view.BuildCount(), 2);
    view.SwitchToPanel(7);  // out of range: nothing
    EXPECT_EQ(view.GetCurrentPanel(), 2);
    view.SwitchToPanel(1, true);  // panel 2 goes
    EXPECT_EQ(view.GetPanelView(2), nullptr);
}

TEST(MultiPanels, TabsSwitchTheirPanelsBeforeTheyBroadcast) {
    QWidget window;
    auto* tabs = new LTabsControl(&window);
    tabs->setObjectName(QStringLiteral("PREV"));
    tabs->SetTabTitles(QStringLiteral("A|B|C|D"));
    auto* view = new MyMultiPanel(&window);
    view->setObjectName(QStringLiteral("mul3"));
    view->SetPanelLayoutsText(QStringLiteral("2002,2002,2002,2005"));
    tabs->SetSwitchesPanels(QStringLiteral("mul3"));
    struct PanelAtMessage : LListener {
        MyMultiPanel* view;
        std::vector<int32_t> panels;
        void OnMessage(MessageT, void*) override { panels.push_back(view->GetCurrentPanel()); }
    } heard;
    heard.view = view;
    tabs->AddListener(&heard);
    tabs->SetValue(4);
    tabs->SetValue(2);
    EXPECT_EQ(heard.panels, (std::vector<int32_t>{4, 2}));
    EXPECT_EQ(tabs->TabTitles(), QStringLiteral("A|B|C|D"));
}

// Takes a class out of the registry for one test and puts it back.
class StClassSwap {
public:
    explicit StClassSwap(const QString& className) {
        if (const URegistrar::Entry* entry = URegistrar::Find(className)) mSaved = *entry;
    }
    ~StClassSwap() {
        if (mSaved)
            URegistrar::RegisterClass(mSaved->classID, mSaved->className, mSaved->factory);
        else
            URegistrar::Unregister(FourCC("cVID"));
    }
    ClassIDT ID() const { return mSaved ? mSaved->classID : FourCC("cVID"); }
    void Remove() {
        if (mSaved) URegistrar::Unregister(mSaved->classID);
    }

private:
    std::optional<URegistrar::Entry> mSaved;
};

TEST(Layouts, UnknownClassesBecomePlaceholdersThatKeepTheirNames) {
    StClassSwap swap(QStringLiteral("CVideoCodecList"));
    swap.Remove();
    QWidget parent;
    QWidget* panel = ULayoutLoader::Load(2011, &parent);
    auto* holder = panel->findChild<LPlaceHolder*>(QStringLiteral("codV"));
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(holder->WantedClass(), QStringLiteral("CVideoCodecList"));
    try {
        ULayoutLoader::Load(1999, &parent);
        FAIL() << "no exception";
    } catch (const LException& e) {
        EXPECT_EQ(e.Code(), resNotFound);
    }
}

TEST(Layouts, RegisteredClassesAreBuiltAndFinishedOnce) {
    static int finished = 0;
    struct Counting : QWidget, LFinishCreate {
        using QWidget::QWidget;
        void FinishCreateSelf() override { ++finished; }
    };
    StClassSwap swap(QStringLiteral("CVideoCodecList"));
    URegistrar::RegisterClass<Counting>(swap.ID(), QStringLiteral("CVideoCodecList"));
    QWidget parent;
    QWidget* panel = ULayoutLoader::Load(2011, &parent);
    ULayoutLoader::FinishCreate(panel);
    ULayoutLoader::FinishCreate(panel);
    EXPECT_NE(dynamic_cast<Counting*>(panel->findChild<QWidget*>(QStringLiteral("codV"))), nullptr);
    EXPECT_EQ(finished, 1);
}

struct Recording : LCommander {
    using LCommander::LCommander;
    CommandT handles = 0;
    std::vector<CommandT>* log = nullptr;
    bool HandleCommand(CommandT command, void*) override {
        if (command != handles) return false;
        log->push_back(command);
        return true;
    }
};

TEST(Commanders, ACommandGoesUpTheChainUntilSomeoneTakesIt) {
    std::vector<CommandT> log;
    Recording top;
    top.handles = cmd_Quit;
    top.log = &log;
    auto* middle = new Recording(&top);
    middle->handles = cmd_Save;
    middle->log = &log;
    auto* bottom = new Recording(middle);
    bottom->log = &log;
    EXPECT_TRUE(bottom->ObeyCommand(cmd_Save));
    EXPECT_TRUE(bottom->ObeyCommand(cmd_Quit));
    EXPECT_FALSE(bottom->ObeyCommand(cmd_Print));
    EXPECT_EQ(log, (std::vector<CommandT>{cmd_Save, cmd_Quit}));
    // Sub-commanders go with their super-commander.
    EXPECT_EQ(top.GetSubCommanders().size(), 1u);
}

TEST(Dialogs, PollAnswersTheButtonHitSinceTheLastPollAndTheCloseBoxCancels) {
    StDialogHandler dialog(2800, nullptr);
    dialog.GetDialog()->show();
    auto* cancel = dialog.FindPane<QAbstractButton>(PaneIDT(FourCC("cncl")));
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(dialog.PollDialog(), 0);
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_EQ(dialog.PollDialog(), msg_Cancel);
    EXPECT_EQ(dialog.PollDialog(), 0);
    dialog.GetDialog()->close();
    EXPECT_TRUE(dialog.GetDialog()->isVisible());  // the poller decides
    EXPECT_EQ(dialog.PollDialog(), msg_Cancel);
}

}  // namespace
