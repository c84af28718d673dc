// Helpers shared by the test programs: scratch folders, fixture movies made
// with the ffmpeg tool, and running outside commands (ffprobe, movelark).
#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

// A fresh, empty folder for the running test (removed at the next run).
std::filesystem::path ScratchDir();

// A fixture file made once per build by running
//   ffmpeg -y -v error <ffmpegArgs> <path>
// and cached under the build tree by name (the extension picks the container).
// Safe when several test programs ask for the same fixture at once.
std::filesystem::path FixtureMovie(const std::string& name, const std::string& ffmpegArgs);

// Quote a string for /bin/sh.
std::string ShellQuote(const std::string& text);

// Run a shell command; returns its exit status (-1 when it could not start).
int RunCommand(const std::string& command);

// Run a shell command and return what it printed on standard output.
// The exit status goes to *status when given.
std::string CaptureCommand(const std::string& command, int* status = nullptr);

// ffprobe -v error <args> -of default=nw=1:nk=1 <file>, trimmed.
std::string Probe(const std::filesystem::path& file, const std::string& args);

// Path of the built movelark program.
std::filesystem::path MovelarkBinary();

}  // namespace testsupport
