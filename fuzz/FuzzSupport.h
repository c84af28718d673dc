// Shared pieces of the fuzz targets: the pretend document model (enough to
// read and write the settings record), a scratch file for readers that take
// a path, and a check that stops the run loudly (libFuzzer then keeps the
// input that broke it).
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/media/MediaLayer.h"
#include "tests/support/PretendDocModel.h"

namespace fuzz {

// The media layer as the program starts it (FFmpeg's own messages quiet).
inline void StartMediaLayer() {
    if (InitializeMediaLayer(0) != noErr) {
        std::fprintf(stderr, "fuzz: the media layer cannot start: %s\n", MediaLayerProblem().c_str());
        std::exit(1);
    }
}

// Defines the start-up of a target whose readers need the media layer.
#define FUZZ_STARTS_MEDIA_LAYER \
    extern "C" int LLVMFuzzerInitialize(int*, char***) { return ::fuzz::StartMediaLayer(), 0; }

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, file, line);
    std::abort();
}

#define FUZZ_CHECK(condition) \
    do { if (!(condition)) ::fuzz::Fail(#condition, __FILE__, __LINE__); } while (0)

// One file per fuzzing process, rewritten for every input; in memory
// (/dev/shm) when there is one, so file-based readers stay fast.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& suffix) {
        const char* dir = std::getenv("MOVELARK_FUZZ_TMP");
        std::string folder = dir ? dir : (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
        mPath = folder + "/movelark-fuzz-" + std::to_string(getpid()) + suffix;
    }
    ~ScratchFile() { std::remove(mPath.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& Path() const { return mPath; }

    void Write(const uint8_t* data, size_t size) const {
        std::ofstream out(mPath, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
        if (!out.flush()) Fail("cannot write the scratch file", __FILE__, __LINE__);
    }

    std::string Read() const {
        std::ifstream in(mPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string mPath;
};

}  // namespace fuzz
