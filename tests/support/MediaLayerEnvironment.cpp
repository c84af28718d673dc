// The media layer set up as the program does it, for a whole test program
// (added by movelark_test(... MEDIA)); it also keeps the libraries' log
// output down to errors.
#include <gtest/gtest.h>

#include "platform/media/MediaLayer.h"

namespace {

class MediaLayerEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(InitializeMediaLayer(0), 0) << MediaLayerProblem(); }
    void TearDown() override { TerminateMediaLayer(); }
};

[[maybe_unused]] ::testing::Environment* const gEnvironment =
    ::testing::AddGlobalTestEnvironment(new MediaLayerEnvironment);

}  // namespace
