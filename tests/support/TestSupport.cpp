#include "TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {

std::string ShellQuote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    out += "'";
    return out;
}

int RunCommand(const std::string& command) {
    int rc = std::system(command.c_str());
    if (rc == -1) return -1;
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : 128 + WTERMSIG(rc);
}

std::string CaptureCommand(const std::string& command, int* status) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        if (status) *status = -1;
        return out;
    }
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
    int rc = pclose(pipe);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : 128 + WTERMSIG(rc);
    return out;
}

std::string Probe(const fs::path& file, const std::string& args) {
    std::string out = CaptureCommand("ffprobe -v error " + args + " -of default=nw=1:nk=1 " +
                                     ShellQuote(file.string()));
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
        out.pop_back();
    return out;
}

fs::path ScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "global";
    for (char& c : name)
        if (c == '/') c = '_';
    fs::path dir = fs::path(MOVELARK_TEST_WORKDIR) / "scratch" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

fs::path FixtureMovie(const std::string& name, const std::string& ffmpegArgs) {
    fs::path dir = fs::path(MOVELARK_TEST_WORKDIR) / "fixtures";
    fs::create_directories(dir);
    fs::path target = dir / name;
    if (fs::exists(target)) return target;
    // Build under a private name, then rename into place, so that a
    // concurrent test program never sees a half-written fixture.
    fs::path temp = dir / ("tmp-" + std::to_string(getpid()) + "-" + name);
    std::string cmd = "ffmpeg -nostdin -y -v error " + ffmpegArgs + " " + ShellQuote(temp.string());
    if (RunCommand(cmd) != 0) {
        fs::remove(temp);
        throw std::runtime_error("could not make fixture " + name + ": " + cmd);
    }
    fs::rename(temp, target);
    return target;
}

fs::path MovelarkBinary() { return fs::path(MOVELARK_BINARY); }

}  // namespace testsupport
