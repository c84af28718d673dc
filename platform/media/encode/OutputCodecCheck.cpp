#include "platform/media/encode/OutputCodecCheck.h"

#include "framework/LException.h"
#include "platform/media/encode/SoundTypeTable.h"
#include "platform/media/encode/VideoCodecTable.h"
#include "platform/media/encode/VideoSettings.h"

namespace {

OSType CodecTypeOf(const Handle& segment) {
    try {
        return VideoSettings::FromHandle(segment).codecType;
    } catch (const LException&) {
        return FourCC("raw ");
    }
}

std::string ContainerName(bool isMp4) { return isMp4 ? "an MP4 movie (.mp4)" : "a QuickTime movie (.mov)"; }

}  // namespace

bool CheckSegmentCodecs(const std::vector<Handle>& videoSegments, std::string& message) {
    message.clear();
    if (videoSegments.empty()) return true;
    const OSType first = CodecTypeOf(videoSegments.front());
    for (const Handle& segment : videoSegments) {
        const OSType type = CodecTypeOf(segment);
        if (type != first) {
            message = "The segments use two different codecs, " + VideoCodecTable::NameOf(first) + " and " +
                      VideoCodecTable::NameOf(type) + "; one movie track can hold only one.";
            return false;
        }
    }
    return true;
}

bool CheckContainerAcceptsVideo(OSType codecType, bool isMp4, std::string& message) {
    message.clear();
    if (codecType == 0) return true;
    const VideoCodecInfo* info = VideoCodecTable::Find(codecType);
    if (!info) {
        message = "Unknown video codec type '" + FourCCToString(codecType) + "'.";
        return false;
    }
    if (isMp4 ? info->mp4Allowed : info->movAllowed) return true;
    message = std::string(info->name) + " video cannot be written into " + ContainerName(isMp4) + "; choose " +
              (isMp4 ? "a .mov" : "an .mp4") + " destination or another codec.";
    return false;
}

bool CheckContainerAcceptsSound(OSType compressionType, bool isMp4, std::string& message) {
    message.clear();
    if (compressionType == 0) return true;
    const SoundTypeInfo* info = SoundTypeTable::Find(compressionType);
    if (!info) {
        message = "Unknown sound compression type '" + FourCCToString(compressionType) + "'.";
        return false;
    }
    if (isMp4 ? info->mp4Allowed : info->movAllowed) return true;
    message = std::string(info->name) + " sound cannot be written into " + ContainerName(isMp4) + "; choose " +
              (isMp4 ? "a .mov" : "an .mp4") + " destination or another sound format.";
    return false;
}

bool FitFrameSizeToCodec(OSType codecType, int depth, bool userSize, int& width, int& height, std::string& message) {
    message.clear();
    const VideoCodecInfo* info = VideoCodecTable::Find(codecType);
    if (!info) return true;
    const VideoCodecTable::FrameSteps steps = VideoCodecTable::FrameStepsFor(*info, depth);
    const int fittedWidth = width / steps.across * steps.across;
    const int fittedHeight = height / steps.down * steps.down;
    if (fittedWidth == width && fittedHeight == height) return true;
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    const std::string rule = VideoCodecTable::FrameStepsRule(*info, steps);
    if (userSize || fittedWidth == 0 || fittedHeight == 0) {
        message = rule + "; the output would be " + size + ".";
        return false;
    }
    message = "The picture is trimmed from " + size + " to " + std::to_string(fittedWidth) + " x " +
              std::to_string(fittedHeight) + ": " + rule + ".";
    width = fittedWidth;
    height = fittedHeight;
    return true;
}
