// Hostile files for the tests of this folder, each made on the spot: cut
// and lying movies, settings records with absurd counts and sizes, broken
// atom containers, droplets whose trailer lies, pictures that claim absurd
// sizes. Plus running the real program and comparing files byte for byte.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <sys/types.h>
#include <vector>

#include "framework/Handle.h"
#include "support/PretendDocModel.h"
#include "support/TestSupport.h"

namespace hostile {

using namespace testsupport;
using docsupport::RecordBytes;
inline std::string Bytes(const Handle& h) { return std::string(reinterpret_cast<const char*>(h.Data()), h.Size()); }

// A small movie with pictures and sound (QuickTime, movie resource at the
// end) and the same as MPEG-4 with the movie resource first.
std::filesystem::path SourceMovie();
std::filesystem::path FastStartMovie();

// A settings record with a watermark reference (the full path as name).
std::string RecordWithWatermark(const std::string& path);
// A record with one video segment holding these description bytes.
std::string RecordWithSegment(const std::string& description);

// A droplet: the launcher image as the program writes it, then `tail`.
std::string DropletWith(const std::string& tail);

// Starts a program without a display, standard input and output thrown
// away, standard error into `errors` (thrown away when empty), and with
// `ignored` (a signal number, 0 for none) ignored as a background job's.
pid_t Spawn(const std::vector<std::string>& args, const std::filesystem::path& errors = {}, int ignored = 0);
// Its exit status; 128 + the signal when it died of one.
int WaitFor(pid_t pid);
// Waits `delay`, then sends `signal` unless the program has ended; true when
// it was sent. The exit status, as WaitFor gives it, goes to *status.
bool SignalAfter(pid_t pid, std::chrono::microseconds delay, int signal, int* status);
// Random moments for kills; MOVELARK_KILL_SEED repeats a run's.
std::mt19937 KillRandom();

// Every file below `dir` with its bytes, for before/after comparisons.
std::vector<std::pair<std::string, std::string>> Snapshot(const std::filesystem::path& dir);

// The names in a folder, sorted.
std::vector<std::string> Names(const std::filesystem::path& dir);
// A movie's duration in seconds, as ffprobe sees it.
double Seconds(const std::filesystem::path& movie);
// It decodes cleanly and lasts that long (within 0.2 s).
bool WholeMovie(const std::filesystem::path& movie, double seconds);

// The number of lines of a text (a last line without a break counts).
int LineCount(const std::string& text);

}  // namespace hostile
