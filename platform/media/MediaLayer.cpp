#include "platform/media/MediaLayer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// All of the layer's state is guarded by gStateMutex (threads of this
// process) and the lock file (other processes).
std::mutex gStateMutex;
int32_t gUseCount = 0;
int32_t gMoviesCount = 0;
std::string gProblem;

// Holds the lock file for one initialise or terminate. When the file cannot
// be opened the call goes ahead unserialised, as it would without the mutex.
class StMediaLayerLock {
public:
    StMediaLayerLock() {
        mFd = ::open(MediaLayerLockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (mFd < 0) return;
        while (::flock(mFd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(mFd);
                mFd = -1;
                return;
            }
        }
    }
    ~StMediaLayerLock() {
        if (mFd >= 0) {
            ::flock(mFd, LOCK_UN);
            ::close(mFd);
        }
    }
    StMediaLayerLock(const StMediaLayerLock&) = delete;
    StMediaLayerLock& operator=(const StMediaLayerLock&) = delete;

private:
    int mFd = -1;
};

struct LibraryVersion {
    const char* name;
    unsigned runtime;
    unsigned builtMajor;
};

LibraryVersion Libraries[] = {
    {"libavutil", avutil_version(), LIBAVUTIL_VERSION_MAJOR},
    {"libavcodec", avcodec_version(), LIBAVCODEC_VERSION_MAJOR},
    {"libavformat", avformat_version(), LIBAVFORMAT_VERSION_MAJOR},
    {"libavfilter", avfilter_version(), LIBAVFILTER_VERSION_MAJOR},
    {"libswscale", swscale_version(), LIBSWSCALE_VERSION_MAJOR},
    {"libswresample", swresample_version(), LIBSWRESAMPLE_VERSION_MAJOR},
};

std::string VersionText(unsigned v) {
    return std::to_string(AV_VERSION_MAJOR(v)) + "." + std::to_string(AV_VERSION_MINOR(v)) + "." +
           std::to_string(AV_VERSION_MICRO(v));
}

// The major version is the ABI: a library of another major version cannot
// be used by code built against this one.
OSErr CheckLibraryVersions(std::string& problem) {
    for (const auto& lib : Libraries) {
        unsigned major = AV_VERSION_MAJOR(lib.runtime);
        if (major != lib.builtMajor) {
            problem = std::string(lib.name) + " " + VersionText(lib.runtime) +
                      " is installed, but this program needs version " +
                      std::to_string(lib.builtMajor) + ".";
            return kMediaLibraryUnusableErr;
        }
    }
    return noErr;
}

// What the default output needs: the movie containers, H.264 and AAC, the
// raw and still-image codecs used for previews, and the filter graph ends.
OSErr CheckComponents(std::string& problem) {
    const char* muxers[] = {"mov", "mp4"};
    const char* demuxers[] = {"mov"};
    const char* encoders[] = {"libx264", "aac", "rawvideo", "mjpeg", "png"};
    const char* decoders[] = {"h264", "aac", "mjpeg", "png"};
    const char* filters[] = {"buffer", "buffersink", "scale"};
    for (const char* name : muxers)
        if (!av_guess_format(name, nullptr, nullptr)) {
            problem = std::string("The FFmpeg libraries cannot write ") + name + " movie files.";
            return kMediaEntryMissingErr;
        }
    for (const char* name : demuxers)
        if (!av_find_input_format(name)) {
            problem = std::string("The FFmpeg libraries cannot read ") + name + " movie files.";
            return kMediaEntryMissingErr;
        }
    for (const char* name : encoders)
        if (!avcodec_find_encoder_by_name(name)) {
            problem = std::string("The FFmpeg libraries have no ") + name + " encoder.";
            return kMediaEntryMissingErr;
        }
    for (const char* name : decoders)
        if (!avcodec_find_decoder_by_name(name)) {
            problem = std::string("The FFmpeg libraries have no ") + name + " decoder.";
            return kMediaEntryMissingErr;
        }
    for (const char* name : filters)
        if (!avfilter_get_by_name(name)) {
            problem = std::string("The FFmpeg libraries have no ") + name + " filter.";
            return kMediaEntryMissingErr;
        }
    return noErr;
}

bool SimulatingMissingLibraries() {
    const char* value = std::getenv(kSimulateMissingMediaVariable);
    return value && std::string(value) == "1";
}

OSErr MakeSpec(const std::string& path, FSSpec& out) {
    if (path.empty()) return paramErr;
    std::error_code ec;
    fs::path full = fs::absolute(fs::path(path), ec);
    if (ec) return paramErr;
    full = full.lexically_normal();
    std::string text = full.string();
    // "/a/b/" names the folder b: keep the record free of the trailing slash.
    if (text.size() > 1 && text.back() == '/') text.pop_back();
    FSSpec spec;
    if (OSErr err = FSSpec::FromPath(text, spec); err != noErr) return err;
    fs::path folder = fs::path(text).parent_path();
    if (!fs::is_directory(folder, ec)) return dirNFErr;
    out = spec;
    return fs::exists(fs::path(text), ec) ? noErr : fnfErr;
}

}  // namespace

std::string MediaLayerLockPath() {
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    std::string dir = runtimeDir && *runtimeDir ? runtimeDir : "/tmp";
    return dir + "/" + kMediaLayerLockName;
}

OSErr InitializeMediaLayer(uint32_t flags) {
    (void)flags;
    StMediaLayerLock lock;
    std::lock_guard<std::mutex> guard(gStateMutex);
    if (gUseCount > 0) {
        ++gUseCount;
        return noErr;
    }
    std::string problem;
    OSErr err = noErr;
    if (SimulatingMissingLibraries()) {
        problem = "The FFmpeg libraries were reported missing (" +
                  std::string(kSimulateMissingMediaVariable) + "=1).";
        err = kMediaLibraryUnusableErr;
    }
    if (err == noErr) err = CheckLibraryVersions(problem);
    if (err == noErr) err = CheckComponents(problem);
    gProblem = problem;
    if (err != noErr) return err;
    // FFmpeg's own lines (even its errors about a damaged file) would bury
    // the program's one-line message on a terminal; every failure reaches
    // the user through the program. MOVELARK_FFMPEG_LOG=1 shows them again.
    const char* verbose = std::getenv("MOVELARK_FFMPEG_LOG");
    av_log_set_level(verbose && *verbose && *verbose != '0' ? AV_LOG_ERROR : AV_LOG_FATAL);
    gUseCount = 1;
    return noErr;
}

void TerminateMediaLayer() {
    StMediaLayerLock lock;
    std::lock_guard<std::mutex> guard(gStateMutex);
    if (gUseCount > 1) {
        --gUseCount;
        return;
    }
    // The last user (or a stray call): the layer is down, and so are the
    // movie services that ran on it.
    gUseCount = 0;
    gMoviesCount = 0;
}

int32_t MediaLayerUseCount() {
    std::lock_guard<std::mutex> guard(gStateMutex);
    return gUseCount;
}

std::string MediaLayerProblem() {
    std::lock_guard<std::mutex> guard(gStateMutex);
    return gProblem;
}

std::string MediaLibraryVersions() {
    std::string text;
    for (const auto& lib : Libraries) {
        if (!text.empty()) text += ", ";
        text += std::string(lib.name) + " " + VersionText(lib.runtime);
    }
    return text;
}

OSErr EnterMovies() {
    std::lock_guard<std::mutex> guard(gStateMutex);
    if (gUseCount <= 0) return kMediaNotInitializedErr;
    ++gMoviesCount;
    return noErr;
}

void ExitMovies() {
    std::lock_guard<std::mutex> guard(gStateMutex);
    if (gMoviesCount > 0) --gMoviesCount;
}

OSErr NativePathNameToFSSpec(const std::string& path, FSSpec& out, uint32_t flags) {
    (void)flags;
    return MakeSpec(path, out);
}

OSErr FSMakeFSSpec(int16_t volume, int32_t directory, const uint8_t* name, FSSpec& out) {
    if (!name) return paramErr;
    std::string path(reinterpret_cast<const char*>(name + 1), name[0]);
    FSSpec spec;
    OSErr err = MakeSpec(path, spec);
    if (err != noErr && err != fnfErr) return err;
    spec.vRefNum = volume;
    spec.parID = directory;
    out = spec;
    return err;
}
