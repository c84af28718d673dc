// Helpers shared by the test programs: scratch folders, fixture movies made
// with the ffmpeg tool, checks made with ffmpeg and ffprobe, file bytes and
// running outside commands (ffprobe, movelark) and programs to signal.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "framework/Handle.h"
#include "framework/LException.h"
#include "platform/media/FSSpec.h"

namespace testsupport {

namespace fs = std::filesystem;

// The running test's own folder, emptied on the test's first call.
fs::path ScratchDir();

// A fixture file made once per build by running
//   ffmpeg -y -v error <ffmpegArgs> <path>
// and cached under the build tree by name (the extension picks the container)
// and arguments. Safe when several test programs ask for it at once.
fs::path FixtureMovie(const std::string& name, const std::string& ffmpegArgs);

// The names in a folder, sorted.
std::vector<std::string> FileNames(const fs::path& dir);
// A copy of a file in the test's scratch folder, for tests that change it.
fs::path ScratchCopy(const fs::path& from, const std::string& name);
// The first `bytes` bytes of a file, in the scratch folder: a movie cut off
// as an interrupted copy or download leaves it.
fs::path ScratchCutOff(const fs::path& from, size_t bytes, const std::string& name);
// 4 s of testsrc2 (160x120, 30 fps) and a 440 Hz tone (AAC, 48 kHz), with
// the movie's index before its data, so that a cut-off copy still opens.
fs::path IndexFirstMovie();
// 1 s of testsrc (96x64, 10 fps) and a tone as a camera writes them: Motion
// JPEG and PCM in QuickTime, the movie's index after its data.
fs::path SmallMovie();

// Whether `condition` became true within `milliseconds`: for waiting on
// another thread or process without guessing how long it takes.
bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 10000);

// Quote a string for /bin/sh.
std::string ShellQuote(const std::string& text);
inline std::string Q(const fs::path& p) { return ShellQuote(p.string()); }

// Run a shell command; returns its exit status (-1 when it could not start).
int RunCommand(const std::string& command);

// Run a shell command and return what it printed on standard output.
// The exit status goes to *status when given.
std::string CaptureCommand(const std::string& command, int* status = nullptr);

// ffprobe -v error <args> -of default=nw=1:nk=1 <file>, trimmed.
std::string Probe(const fs::path& file, const std::string& args);
// The non-empty lines of a text.
std::vector<std::string> Lines(const std::string& text);

// What ffmpeg says decoding every frame and sample ("" when nothing).
std::string DecodeErrors(const fs::path& movie);
inline bool DecodesCleanly(const fs::path& movie) { return DecodeErrors(movie).empty(); }
// Frame n (from 0) decoded by ffmpeg (display rotation applied, then
// `extraFilter`) as RGB24 rows, with its size.
std::vector<uint8_t> FramePixels(const fs::path& movie, int n, int& width, int& height,
                                 const std::string& extraFilter = "");
int CountFrames(const fs::path& movie);
// Presentation times (seconds) of the video frames, in display order, as ffprobe lists them.
std::vector<double> FrameTimes(const fs::path& movie);
double DurationSeconds(const fs::path& movie, const char* stream);  // "v:0" or "a:0"; -1 when unknown

// A four-character code from text ("avc1"), for tables of test cases.
uint32_t Code(const char* fourChars);

// Path of the built movelark program.
fs::path MovelarkBinary();
// Runs `movelark ARGS` (offscreen, no display, killed after two minutes);
// standard error and output together in *output; the exit status, 128 +
// signal when it died.
int Movelark(const std::string& args, std::string* output = nullptr);

// Starts a program without a display, standard input and output thrown
// away, standard error into `errors` (thrown away when empty), and with
// `ignored` (a signal number, 0 for none) ignored as a background job's.
pid_t Spawn(const std::vector<std::string>& args, const fs::path& errors = {}, int ignored = 0);
// Its exit status; 128 + the signal when it died of one.
int WaitFor(pid_t pid);
// Waits `delay`, then sends `signal` unless the program has ended; true when
// it was sent. The exit status, as WaitFor gives it, goes to *status.
bool SignalAfter(pid_t pid, std::chrono::microseconds delay, int signal, int* status);

std::string ReadBytes(const fs::path& path);
inline std::string Bytes(const Handle& h) { return std::string(reinterpret_cast<const char*>(h.Data()), h.Size()); }
void WriteBytes(const fs::path& path, const std::string& bytes);
std::string BE32(uint32_t v);
std::string LE32(uint32_t v);
uint32_t GetBE32(const std::string& bytes, size_t at);

// The top-level atoms of a movie file's bytes, walked independently of the
// code under test (64-bit and to-the-end sizes included; the walk stops at
// an atom that runs past the end).
struct TopAtom {
    std::string type;
    size_t offset = std::string::npos, size = 0;
};
std::vector<TopAtom> TopLevelAtoms(const std::string& file);
// The first of a type (offset npos when there is none), and the bytes of
// the first 'mdat' (the media data), header included.
TopAtom FindTopLevelAtom(const std::string& file, const std::string& type);
std::string MediaData(const std::string& file);
// A PNG or BMP whose header claims a picture of width x height (a few bytes
// of pixel data follow, far too few).
std::string ClaimedPNG(uint32_t width, uint32_t height);
std::string ClaimedBMP(int32_t width, int32_t height);

inline FSSpec Spec(const fs::path& path) {
    FSSpec spec;
    FSSpec::FromPath(path.string(), spec);
    return spec;
}

// The code of the LException `action` throws (0 when it throws none); a
// thrown exception must carry a message.
inline int32_t ErrorCode(const std::function<void()>& action, bool needsMessage = true) {
    try {
        action();
    } catch (const LException& e) {
        if (needsMessage && e.Message().empty()) return -1;
        return e.Code();
    }
    return 0;
}

// The code and message of the LException `action` throws ({0, ""} when none).
inline std::pair<int32_t, std::string> Thrown(const std::function<void()>& action) {
    try {
        action();
    } catch (const LException& e) {
        return {e.Code(), e.Message()};
    }
    return {0, ""};
}

}  // namespace testsupport
