#include "compress/OutputSettingsCheck.h"

#include <utility>
#include <vector>

#include "compress/SystemMemory.h"
#include "platform/media/encode/EncodeErrors.h"
#include "platform/media/encode/OutputCodecCheck.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/VideoSettings.h"

OSErr CheckOutputSettings(const SCompressSettings& settings, bool hasVideo, bool hasSound, int frameWidth,
                          int frameHeight, bool forMp4, std::string& message, std::string& warning) {
    const CDescriptionList* video = settings.videoSegments;
    if (hasVideo && video && video->Count() > 0) {
        std::vector<Handle> segments;
        for (int32_t i = 1; i <= video->Count(); ++i) {
            const Handle* h = video->Get(i);
            segments.push_back(h ? *h : Handle());
        }
        if (!CheckSegmentCodecs(segments, message)) return kMixedCodecsErr;
        const VideoSettings first = VideoSettings::ReadOrDefaults(video->Get(1));
        if (!CheckContainerAcceptsVideo(first.codecType, forMp4, message)) return kContainerCodecErr;
        const bool userSize = settings.outputWidth > 0 && settings.outputHeight > 0;
        if (!FitFrameSizeToCodec(first.codecType, first.depth, userSize, frameWidth, frameHeight, warning)) {
            message = std::move(warning);
            warning.clear();
            return kBadFrameSizeErr;
        }
    }
    const CDescriptionList* sound = settings.audioSegments;
    if (hasSound && sound && sound->Count() > 0 && sound->Get(1)) {
        try {
            const SoundSettings first = SoundSettings::FromHandle(*sound->Get(1));
            if (!CheckContainerAcceptsSound(first.compressionType, forMp4, message)) return kContainerCodecErr;
        } catch (const LException&) {
        }
    }
    return noErr;
}

OSErr CheckFrameSize(int width, int height, std::string& message) {
    // No encoder takes a larger picture, and a stored output size can say
    // anything: refuse before the frame buffers are allocated for it.
    constexpr int kMaxFrameSide = 16384;
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width > kMaxFrameSide || height > kMaxFrameSide) {
        message = "A " + size + " picture is larger than any codec takes (at most " + std::to_string(kMaxFrameSide) +
                  " on a side).";
        return memFullErr;
    }
    if (AvailablePhysicalMemory() < uint64_t(width) * uint64_t(height) * 4 + 4069) {
        message = "There is not enough memory for a " + size + " picture.";
        return memFullErr;
    }
    return noErr;
}
