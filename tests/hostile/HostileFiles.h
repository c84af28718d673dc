// Running the real program for the tests of this folder: small source
// movies, droplets carrying any bytes, starting, signalling and killing the
// program, and looking at what it left.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <random>
#include <thread>

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

// Starts a program without a display, standard input and output thrown
// away, standard error into `errors` (thrown away when empty), and with
// `ignored` (a signal number, 0 for none) ignored as a background job's.
inline pid_t Spawn(const std::vector<std::string>& args, const fs::path& errors = {}, int ignored = 0) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        const int err = errors.empty() ? null : open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(null, 0);
        dup2(null, 1);
        dup2(err, 2);
        if (ignored) signal(ignored, SIG_IGN);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// Its exit status; 128 + the signal when it died of one.
inline int WaitFor(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Waits `delay`, then sends `signal` unless the program has ended; true when
// it was sent. The exit status, as WaitFor gives it, goes to *status.
inline bool SignalAfter(pid_t pid, std::chrono::microseconds delay, int signal, int* status) {
    std::this_thread::sleep_for(delay);
    int raw = 0;
    const bool ended = waitpid(pid, &raw, WNOHANG) == pid;
    if (!ended) {
        kill(pid, signal);
        waitpid(pid, &raw, 0);
    }
    *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return !ended;
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
