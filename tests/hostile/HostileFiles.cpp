#include "HostileFiles.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <thread>

#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "platform/files/DropletFile.h"

namespace fs = std::filesystem;

namespace hostile {

fs::path SourceMovie() {
    return FixtureMovie(
        "hostile-source.mov",
        "-f lavfi -i testsrc=s=96x64:r=10:d=1 -f lavfi -i sine=f=440:r=22050:d=1 -c:v mjpeg -q:v 6 -c:a pcm_s16le");
}

fs::path FastStartMovie() {
    return FixtureMovie(
        "hostile-faststart.mp4",
        "-f lavfi -i testsrc=s=96x64:r=10:d=1 -c:v mpeg4 -q:v 6 -movflags +faststart");
}

std::string RecordWithWatermark(const std::string& path) {
    std::string r = RecordBytes::Empty();
    // The name sits after version, crop, size, rotation, flags, volume and folder.
    const size_t nameAt = 4 + 16 + 12 + 4 + 2 + 4;
    r[nameAt] = char(path.size());
    r.insert(nameAt + 1, path);
    return r;
}

std::string RecordWithSegment(const std::string& description) {
    return RecordBytes().U32(0).U32(1).U32(uint32_t(description.size())).Raw(description).U32(0).U32(0).Str();
}

std::string DropletWith(const std::string& tail) {
    auto image = LoadLauncherImage();
    EXPECT_TRUE(image.has_value());
    std::string bytes = image ? std::string(image->begin(), image->end()) : std::string(kLauncherImageSize, ' ');
    bytes.replace(kProductWordOffset, kProductWordSize, kProductWord, kProductWordSize);
    return bytes + tail;
}

pid_t Spawn(const std::vector<std::string>& args, const fs::path& errors, int ignored) {
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

bool SignalAfter(pid_t pid, std::chrono::microseconds delay, int signal, int* status) {
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

std::mt19937 KillRandom() {
    const char* seed = std::getenv("MOVELARK_KILL_SEED");
    const unsigned value = seed ? unsigned(std::strtoul(seed, nullptr, 10)) : std::random_device{}();
    std::cout << "kill seed " << value << " (MOVELARK_KILL_SEED repeats it)\n";
    return std::mt19937(value);
}

int WaitFor(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::vector<std::pair<std::string, std::string>> Snapshot(const fs::path& dir) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file()) files.emplace_back(entry.path().string(), ReadBytes(entry.path()));
    std::sort(files.begin(), files.end());
    return files;
}

double Seconds(const fs::path& movie) {
    return std::atof(testsupport::Probe(movie, "-show_entries format=duration").c_str());
}

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool WholeMovie(const fs::path& movie, double seconds) {
    return DecodesCleanly(movie) && std::abs(Seconds(movie) - seconds) < 0.2;
}

int LineCount(const std::string& text) {
    int lines = int(std::count(text.begin(), text.end(), '\n'));
    if (!text.empty() && text.back() != '\n') ++lines;
    return lines;
}

}  // namespace hostile
