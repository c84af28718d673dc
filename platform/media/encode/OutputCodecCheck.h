// Checks made before any output is written: all video segments of a track
// must share one codec type, and the destination container must be able to
// hold the codecs chosen.
#pragma once

#include <string>
#include <vector>

#include "framework/FourCharCode.h"
#include "framework/Handle.h"

// True when every segment's codec type is the same. Otherwise false, with a
// message naming the first two codecs that differ, e.g. "The segments use
// two different codecs, H.264 and Motion JPEG A; one movie track can hold
// only one." Unreadable segments count as 'raw ' (None).
bool CheckSegmentCodecs(const std::vector<Handle>& videoSegments, std::string& message);

// True when the container (mp4 or mov) can hold the codec type (a video
// codec type or a sound compression type; 0 skips the check); otherwise
// false with a message naming the codec and the container.
bool CheckContainerAcceptsVideo(OSType codecType, bool isMp4, std::string& message);
bool CheckContainerAcceptsSound(OSType compressionType, bool isMp4, std::string& message);

// Fits a frame size to the steps the codec takes (VideoCodecTable::
// FrameStepsFor). A size that comes from the source is trimmed, with a note
// in `message`; a size the user chose is not: false, with the refusal in
// `message`. True and "" when the size fits as it is; unknown codecs pass.
bool FitFrameSizeToCodec(OSType codecType, int depth, bool userSize, int& width, int& height, std::string& message);
