// One application object (guarded as the program's is) and one media layer
// for a whole widget test program (added by movelark_test(... GUI)), with
// the program's appearance installed as start-up would.
#include <gtest/gtest.h>

#include "appearance/CAppearance.h"
#include "appearance/QtAppearance.h"
#include "framework/gui/LGuiApplication.h"
#include "platform/media/MediaLayer.h"

namespace {
class QtTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "movelark-tests";
        static char* argv[] = {name, nullptr};
        mApp = std::make_unique<LGuiApplication>(argc, argv);
        ASSERT_EQ(InitializeMediaLayer(0), noErr) << MediaLayerProblem();
        CAppearance::Install(std::make_unique<QtAppearance>());
    }
    void TearDown() override {
        CAppearance::Remove();
        TerminateMediaLayer();
        mApp.reset();
    }

private:
    std::unique_ptr<QApplication> mApp;
};

[[maybe_unused]] ::testing::Environment* const gEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);
}  // namespace
