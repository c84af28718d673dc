#include "platform/media/MediaLayer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

#include "support/TestSupport.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Sets an environment variable (null: unsets it) and puts the old value back.
struct StEnvironment {
    const char* name;
    std::optional<std::string> old;
    StEnvironment(const char* variable, const char* value) : name(variable) {
        if (const char* was = std::getenv(name)) old = was;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~StEnvironment() { old ? setenv(name, old->c_str(), 1) : unsetenv(name); }
};

class MediaLayer : public ::testing::Test {
protected:
    void SetUp() override {
        mRuntimeDir = testsupport::ScratchDir();
        mRuntime.emplace("XDG_RUNTIME_DIR", mRuntimeDir.c_str());
        ASSERT_EQ(MediaLayerUseCount(), 0);
    }
    void TearDown() override {
        while (MediaLayerUseCount() > 0) TerminateMediaLayer();
        mRuntime.reset();
    }
    fs::path mRuntimeDir;
    std::optional<StEnvironment> mRuntime;
};

// A runtime folder that cannot hold the lock does not stop the program.
TEST_F(MediaLayer, LockFileLivesInTheRuntimeFolderButIsNotNeeded) {
    EXPECT_EQ(MediaLayerLockPath(), (mRuntimeDir / "QTMLInitTermMutex").string());
    ASSERT_EQ(InitializeMediaLayer(0), noErr);
    EXPECT_TRUE(fs::exists(mRuntimeDir / "QTMLInitTermMutex"));
    TerminateMediaLayer();
    for (const char* runtime : {(const char*)nullptr, ""}) {
        StEnvironment unset("XDG_RUNTIME_DIR", runtime);
        EXPECT_EQ(MediaLayerLockPath(), "/tmp/QTMLInitTermMutex");
    }
    StEnvironment missing("XDG_RUNTIME_DIR", (mRuntimeDir / "no" / "such" / "folder").c_str());
    EXPECT_EQ(InitializeMediaLayer(0), noErr);
    TerminateMediaLayer();
    EXPECT_EQ(MediaLayerUseCount(), 0);
}

// Another process holding the lock keeps initialise and terminate waiting.
TEST_F(MediaLayer, InitializeAndTerminateWaitForTheLock) {
    for (bool initialise : {true, false}) {
        int fd = ::open(MediaLayerLockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::flock(fd, LOCK_EX), 0);
        std::atomic<bool> done{false};
        std::thread worker([&] {
            if (initialise)
                EXPECT_EQ(InitializeMediaLayer(0), noErr);
            else
                TerminateMediaLayer();
            done = true;
        });
        std::this_thread::sleep_for(300ms);
        EXPECT_FALSE(done) << (initialise ? "initialise" : "terminate") << " did not wait";
        EXPECT_EQ(MediaLayerUseCount(), initialise ? 0 : 1);
        ::flock(fd, LOCK_UN);
        ::close(fd);
        worker.join();
        EXPECT_TRUE(done);
        EXPECT_EQ(MediaLayerUseCount(), initialise ? 1 : 0);
    }
}

TEST(MediaFileRecords, NativePathsBecomeFullPathRecords) {
    const fs::path dir = testsupport::ScratchDir(), file = dir / "with blank.mov";
    testsupport::WriteBytes(file, "x");
    const fs::path old = fs::current_path();
    fs::current_path(dir);
    // The name, the answer, the record's path ("": the record is left unset).
    const std::tuple<std::string, OSErr, std::string> cases[] = {
        {file.string(), noErr, file.string()},
        {"./sub/../with blank.mov", noErr, file.string()},  // relative names are made absolute and tidied
        {(dir / "absent.mov").string(), fnfErr, (dir / "absent.mov").string()},
        {(dir / "nofolder" / "a.mov").string(), dirNFErr, ""},
        {"", paramErr, ""},
        {"/" + std::string(300, 'a'), bdNamErr, ""},
    };
    for (const auto& [path, error, recorded] : cases) {
        FSSpec spec;
        EXPECT_EQ(NativePathNameToFSSpec(path, spec, 0), error) << path;
        if (recorded.empty()) EXPECT_FALSE(spec.IsSet()) << path;
        else EXPECT_EQ(spec.Path(), recorded);
    }
    fs::current_path(old);
}

}  // namespace
