#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>
#include <stdexcept>
#include <thread>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

std::string ShellQuote(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// A wait status as the shell gives it: the exit code, or 128 + the signal.
static int ExitStatus(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw); }

int RunCommand(const std::string& command) {
    const int rc = std::system(command.c_str());
    return rc == -1 ? -1 : ExitStatus(rc);
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
    const int rc = pclose(pipe);
    if (status) *status = ExitStatus(rc);
    return out;
}

std::string Probe(const fs::path& file, const std::string& args) {
    std::string out = CaptureCommand("ffprobe -v error " + args + " -of default=nw=1:nk=1 " + Q(file));
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
    return out;
}

bool WaitUntil(const std::function<bool()>& condition, int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

std::string DecodeErrors(const fs::path& movie) {
    int status = 0;
    std::string text = CaptureCommand("ffmpeg -nostdin -v error -i " + Q(movie) + " -f null - 2>&1", &status);
    if (status != 0 && text.empty()) text = "ffmpeg exit status " + std::to_string(status);
    return text;
}

std::vector<uint8_t> FramePixels(const fs::path& movie, int n, int& width, int& height,
                                 const std::string& extraFilter) {
    std::string filter = "select=eq(n\\," + std::to_string(n) + ")";
    if (!extraFilter.empty()) filter += "," + extraFilter;
    // Binary PPM: "P6\n<w> <h>\n255\n" then the pixels.
    const std::string ppm = CaptureCommand("ffmpeg -nostdin -v error -i " + Q(movie) + " -vf " + ShellQuote(filter) +
                                           " -frames:v 1 -f image2pipe -c:v ppm -pix_fmt rgb24 -");
    std::istringstream in(ppm.substr(0, 64));
    std::string magic;
    int maxValue = 0;
    width = height = 0;
    in >> magic >> width >> height >> maxValue;
    if (magic != "P6") return {};
    const size_t offset = size_t(in.tellg()) + 1;
    return std::vector<uint8_t>(ppm.begin() + long(offset), ppm.end());
}

int CountFrames(const fs::path& movie) {
    const std::string n = Probe(movie, "-count_packets -select_streams v:0 -show_entries stream=nb_read_packets");
    return n.empty() ? -1 : std::stoi(n);
}

std::vector<double> FrameTimes(const fs::path& movie) {
    std::vector<double> times;
    for (const std::string& line : Lines(Probe(movie, "-select_streams v:0 -show_entries frame=best_effort_timestamp_time")))
        if (line != "N/A") times.push_back(std::stod(line));
    return times;
}

double DurationSeconds(const fs::path& movie, const char* stream) {
    const std::string d = Probe(movie, std::string("-select_streams ") + stream + " -show_entries stream=duration");
    return d.empty() || d == "N/A" ? -1.0 : std::stod(d);
}

fs::path ScratchDir() {
    static std::string current;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "global";
    for (char& c : name)
        if (c == '/') c = '_';
    const fs::path dir = fs::path(MOVELARK_TEST_WORKDIR) / "scratch" / name;
    if (name != current) {
        current = name;
        fs::remove_all(dir);
    }
    fs::create_directories(dir);
    return dir;
}

std::vector<std::string> FileNames(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

fs::path ScratchCopy(const fs::path& from, const std::string& name) {
    const fs::path to = ScratchDir() / name;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    return to;
}

fs::path ScratchCutOff(const fs::path& from, size_t bytes, const std::string& name) {
    const fs::path to = ScratchDir() / name;
    WriteBytes(to, ReadBytes(from).substr(0, bytes));
    return to;
}

fs::path IndexFirstMovie() {
    return FixtureMovie("index-first.mp4",
                        "-f lavfi -i testsrc2=s=160x120:r=30:d=4 -f lavfi -i sine=f=440:r=48000:d=4 "
                        "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -movflags +faststart");
}

fs::path SmallMovie() {
    return FixtureMovie(
        "small.mov", "-f lavfi -i testsrc=s=96x64:r=10:d=1 -f lavfi -i sine=f=440:r=22050:d=1 -c:v mjpeg -q:v 6 -c:a pcm_s16le");
}

fs::path FixtureMovie(const std::string& name, const std::string& ffmpegArgs) {
    const fs::path dir = fs::path(MOVELARK_TEST_WORKDIR) / "fixtures";
    fs::create_directories(dir);
    const fs::path target = dir / name;
    // The arguments are kept beside the fixture: a fixture made from other
    // arguments under the same name is made again.
    const fs::path made = dir / (name + ".args");
    if (fs::exists(target) && ReadBytes(made) == ffmpegArgs) return target;
    // Build under a private name, then rename into place, so that a
    // concurrent test program never sees a half-written fixture.
    const std::string unique = std::to_string(getpid()) + "-" + name;
    const fs::path temp = dir / ("tmp-" + unique);
    const std::string cmd = "ffmpeg -nostdin -y -v error " + ffmpegArgs + " " + Q(temp);
    if (RunCommand(cmd) != 0) {
        fs::remove(temp);
        throw std::runtime_error("could not make fixture " + name + ": " + cmd);
    }
    WriteBytes(dir / ("tmp-" + unique + ".args"), ffmpegArgs);
    fs::rename(temp, target);
    fs::rename(dir / ("tmp-" + unique + ".args"), made);
    return target;
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

int WaitFor(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, 0) == pid ? ExitStatus(status) : -1;
}

bool SignalAfter(pid_t pid, std::chrono::microseconds delay, int signal, int* status) {
    std::this_thread::sleep_for(delay);
    int raw = 0;
    const bool ended = waitpid(pid, &raw, WNOHANG) == pid;
    if (!ended) {
        kill(pid, signal);
        waitpid(pid, &raw, 0);
    }
    *status = ExitStatus(raw);
    return !ended;
}

fs::path MovelarkBinary() { return fs::path(MOVELARK_BINARY); }

int Movelark(const std::string& args, std::string* output) {
    int status = -1;
    const std::string out = CaptureCommand("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen timeout -s KILL 120 " +
                                           Q(MovelarkBinary()) + " " + args + " 2>&1 </dev/null",
                                           &status);
    if (output) *output = out;
    return status;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    ASSERT_TRUE(out.flush()) << path;
}

std::string BE32(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }
std::string LE32(uint32_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
uint32_t GetBE32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 | uint32_t(uint8_t(b[at + 2])) << 8 |
           uint8_t(b[at + 3]);
}

std::vector<TopAtom> TopLevelAtoms(const std::string& b) {
    std::vector<TopAtom> atoms;
    for (size_t pos = 0; pos + 8 <= b.size();) {
        uint64_t size = GetBE32(b, pos);
        if (size == 1 && pos + 16 <= b.size()) size = uint64_t(GetBE32(b, pos + 8)) << 32 | GetBE32(b, pos + 12);
        if (size == 0) size = b.size() - pos;
        if (size < 8 || size > b.size() - pos) break;
        atoms.push_back({b.substr(pos + 4, 4), pos, size_t(size)});
        pos += size;
    }
    return atoms;
}

TopAtom FindTopLevelAtom(const std::string& file, const std::string& type) {
    for (const TopAtom& a : TopLevelAtoms(file))
        if (a.type == type) return a;
    return {};
}

std::string MediaData(const std::string& file) {
    const TopAtom a = FindTopLevelAtom(file, "mdat");
    return a.offset == std::string::npos ? std::string() : file.substr(a.offset, a.size);
}

namespace {

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string PngChunk(const std::string& type, const std::string& data) {
    return BE32(uint32_t(data.size())) + type + data + BE32(Crc32(type + data));
}

}  // namespace

std::string ClaimedPNG(uint32_t width, uint32_t height) {
    const std::string header = BE32(width) + BE32(height) + std::string("\x08\x02\x00\x00\x00", 5);
    // A stored (uncompressed) zlib block of a few zero bytes.
    const std::string idat("\x78\x01\x01\x04\x00\xfb\xff\x00\x00\x00\x00\x00\x04\x00\x01", 15);
    return std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) + PngChunk("IDAT", idat) +
           PngChunk("IEND", "");
}

std::string ClaimedBMP(int32_t width, int32_t height) {
    auto le16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    const std::string pixels(16, '\x7f');
    const std::string info = LE32(40) + LE32(uint32_t(width)) + LE32(uint32_t(height)) + le16(1) + le16(24) + LE32(0) +
                             LE32(uint32_t(pixels.size())) + LE32(2835) + LE32(2835) + LE32(0) + LE32(0);
    const uint32_t offset = 14 + uint32_t(info.size());
    return "BM" + LE32(offset + uint32_t(pixels.size())) + LE32(0) + LE32(offset) + info + pixels;
}

uint32_t Code(const char* fourChars) {
    uint32_t code = 0;
    for (int i = 0; i < 4; ++i) code = code << 8 | uint8_t(fourChars[i]);
    return code;
}

}  // namespace testsupport
