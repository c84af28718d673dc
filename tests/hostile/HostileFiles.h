// What the tests of this folder share: droplets carrying any bytes,
// random moments for kills, and checks of what the program left.
#pragma once

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <random>

#include <gtest/gtest.h>

#include "framework/Handle.h"
#include "platform/files/DropletFile.h"
#include "support/PretendDocModel.h"
#include "support/TestSupport.h"

namespace hostile {

using namespace testsupport;
using docsupport::RecordBytes;

// A droplet: the launcher image as the program writes it, then `tail`.
inline std::string DropletWith(const std::string& tail) {
    auto image = LoadLauncherImage();
    EXPECT_TRUE(image.has_value());
    std::string bytes = image ? std::string(image->begin(), image->end()) : std::string(kLauncherImageSize, ' ');
    bytes.replace(kProductWordOffset, kProductWordSize, kProductWord, kProductWordSize);
    return bytes + tail;
}

// Random moments for kills; MOVELARK_KILL_SEED repeats a run's.
inline std::mt19937 KillRandom() {
    const char* seed = std::getenv("MOVELARK_KILL_SEED");
    const unsigned value = seed ? unsigned(std::strtoul(seed, nullptr, 10)) : std::random_device{}();
    std::cout << "kill seed " << value << " (MOVELARK_KILL_SEED repeats it)\n";
    return std::mt19937(value);
}

// A whole movie decodes cleanly and its pictures last `seconds` (within 0.2 s).
inline bool WholeMovie(const fs::path& movie, double seconds) {
    return DecodesCleanly(movie) && std::abs(DurationSeconds(movie, "v:0") - seconds) < 0.2;
}

// The number of lines of a text (a last line without a break counts).
inline int LineCount(const std::string& text) {
    return int(std::count(text.begin(), text.end(), '\n')) + (!text.empty() && text.back() != '\n');
}

}  // namespace hostile
