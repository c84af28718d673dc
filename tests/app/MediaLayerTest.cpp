#include "platform/media/MediaLayer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "support/TestSupport.h"

namespace fs = std::filesystem;

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

// The lock goes in the runtime folder, or /tmp without one; a runtime
// folder that cannot hold it does not stop the program.
TEST(MediaLayer, LockFileLivesInTheRuntimeFolderButIsNotNeeded) {
    ASSERT_EQ(MediaLayerUseCount(), 0);
    const fs::path runtime = testsupport::ScratchDir();
    {
        StEnvironment inRuntime("XDG_RUNTIME_DIR", runtime.c_str());
        ASSERT_EQ(InitializeMediaLayer(0), noErr);
        EXPECT_TRUE(fs::exists(runtime / "QTMLInitTermMutex"));
        TerminateMediaLayer();
    }
    for (const char* none : {(const char*)nullptr, ""}) {
        StEnvironment unset("XDG_RUNTIME_DIR", none);
        EXPECT_EQ(MediaLayerLockPath(), "/tmp/QTMLInitTermMutex");
    }
    StEnvironment missing("XDG_RUNTIME_DIR", (runtime / "no" / "such" / "folder").c_str());
    EXPECT_EQ(InitializeMediaLayer(0), noErr);
    TerminateMediaLayer();
    EXPECT_EQ(MediaLayerUseCount(), 0);
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
