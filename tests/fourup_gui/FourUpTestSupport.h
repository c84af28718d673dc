// Pictures and file references for the four-up and image cache tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/media/FSSpec.h"
#include "tests/support/TestSupport.h"

namespace fouruptest {

// The running test's scratch folder, emptied only on the test's first call
// (ScratchDir empties it on every call).
inline std::filesystem::path TestDir() {
    static std::string current;
    static std::filesystem::path dir;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "global";
    if (name != current || dir.empty()) {
        current = name;
        dir = testsupport::ScratchDir();
    }
    return dir;
}

// A one-frame PNG of a solid colour, made once per build.
inline std::filesystem::path Picture(int width, int height, const std::string& colour = "red") {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    return testsupport::FixtureMovie("picture_" + colour + "_" + size + ".png",
                                     "-f lavfi -i color=" + colour + ":s=" + size + " -frames:v 1");
}

// A copy of a file in the test's scratch folder, so that tests may touch it.
inline std::filesystem::path ScratchCopy(const std::filesystem::path& from, const std::string& name) {
    const auto to = TestDir() / name;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    return to;
}

// A file with an image extension whose bytes are not a picture.
inline std::filesystem::path BrokenPicture(const std::string& name = "broken.png") {
    const auto path = TestDir() / name;
    std::ofstream(path, std::ios::binary) << "\x89PNG\r\n\x1a\nthis is not a picture at all";
    return path;
}

inline FSSpec Spec(const std::filesystem::path& path) {
    FSSpec spec;
    FSSpec::FromPath(path.string(), spec);
    return spec;
}

}  // namespace fouruptest
