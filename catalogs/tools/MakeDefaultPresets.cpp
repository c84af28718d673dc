// Writes the default presets the program ships with:
//   make_default_presets <resources/presets>
// Codec presets and transitions go to Presets/, the single-source effects
// (one per effect type) to Filters/. Each file is one atom container.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/media/effects/EffectRendering.h"
#include "platform/media/effects/EffectTable.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/VideoSettings.h"

namespace fs = std::filesystem;

namespace {

bool Write(const fs::path& file, const Handle& data) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.Data()), std::streamsize(data.Size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return false;
    }
    std::printf("%s (%zu bytes)\n", file.c_str(), data.Size());
    return true;
}

uint32_t Fps(int framesPerSecond) { return uint32_t(framesPerSecond) << 16; }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_default_presets <presets folder>\n");
        return 2;
    }
    const fs::path root = argv[1];
    const fs::path codecs = root / "Presets";
    const fs::path filters = root / "Filters";
    fs::create_directories(codecs);
    fs::create_directories(filters);
    bool ok = true;

    // Video: quality-based settings at the frame rate of the source.
    ok &= Write(codecs / "H.264 Web.QTcd", MakeVideoSettings(FourCC("avc1"), 0x200, 250, 0, 0, {{"preset", "medium"}}));
    ok &= Write(codecs / "H.264 High Quality.QTcd", MakeVideoSettings(FourCC("avc1"), 0x300, 250, 0, 0, {{"preset", "slow"}}));
    ok &= Write(codecs / "HEVC.QTcd", MakeVideoSettings(FourCC("hvc1"), 0x200, 250, 0, 0, {{"preset", "medium"}}));
    ok &= Write(codecs / "VP9.QTcd", MakeVideoSettings(FourCC("vp09"), 0x200, 250));
    ok &= Write(codecs / "AV1.QTcd", MakeVideoSettings(FourCC("av01"), 0x200, 250, 0, 0, {{"preset", "8"}}));
    ok &= Write(codecs / "ProRes 422.QTcd", MakeVideoSettings(FourCC("apcn"), 0x200));
    ok &= Write(codecs / "Photo-JPEG.QTcd", MakeVideoSettings(FourCC("jpeg"), 0x300));
    ok &= Write(codecs / "Animation.QTcd", MakeVideoSettings(FourCC("rle "), 0x400, 0, 0, Fps(0)));

    // Sound: stereo at the rate of the source (Opus always runs at 48 kHz).
    ok &= Write(codecs / "AAC 128 kbps.QTac", MakeSoundSettings(FourCC("aac "), 2, 16, 0, {{"bitrate", "128000"}}));
    ok &= Write(codecs / "AAC 256 kbps.QTac", MakeSoundSettings(FourCC("aac "), 2, 16, 0, {{"bitrate", "256000"}}));
    ok &= Write(codecs / "Opus 96 kbps.QTac", MakeSoundSettings(FourCC("Opus"), 2, 16, 48000, {{"bitrate", "96000"}}));
    ok &= Write(codecs / "Uncompressed 16-bit.QTac", MakeSoundSettings(FourCC("twos"), 2, 16, 0));

    // Effects: every single-source effect with its default parameters,
    // and the transitions.
    for (const EffectType& effect : effects::AllEffectTypes()) {
        if (effect.sources == 0) continue;
        std::vector<std::pair<OSType, int32_t>> parameters;
        for (const EffectParameter& p : effect.parameters) parameters.emplace_back(p.atomType, p.defaultValue);
        const fs::path folder = effect.sources == 1 ? filters : codecs;
        ok &= Write(folder / (effect.name + ".QTfx"), MakeEffectDescription(effect.type, parameters));
    }
    return ok ? 0 : 1;
}
