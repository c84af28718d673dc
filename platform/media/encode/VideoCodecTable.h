// The video codec types this program can write, each with the FFmpeg
// encoder that makes it and how the settings' spatial quality (0 ... 0x400)
// maps onto that encoder's own quality figure.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/FourCharCode.h"
#include "platform/media/encode/EncoderOptions.h"

// How an encoder family measures quality.
enum class QualityScale {
    None,          // fixed: lossless formats, or encoders without a quality control
    X264Crf,       // constant rate factor, lower is better
    X265Crf,
    VpxCrf,
    SvtAv1Crf,
    QScale,        // fixed quantiser 1 ... 31, lower is better
    ProResQScale,  // a fixed quantiser within the profile of the codec type
};

// How an encoder is driven: what it is told on every open, and how it is
// asked for a quality, a lossless picture and a data rate. Options go to
// the encoder (its own first, then the generic ones), before the user's.
struct EncoderTuning {
    EncoderOptions options;               // always
    EncoderOptions qualityOptions;        // with a quality rather than a data rate
    EncoderOptions losslessOptions;       // for the lossless quality instead of the figure
    EncoderOptions rateOptions;           // with a data rate
    const char* qualityOption = nullptr;  // takes the mapped figure ("crf"), or none
    const char* qualityFallback = nullptr;  // tried when the encoder has no such option
    bool fixedQuantiser = false;          // the figure is every frame's quantiser
    bool capsDataRate = true;             // a data rate is also the ceiling, one second buffered
    const char* paramsOption = nullptr;   // the encoder's own parameter string ("x264-params"), or none
    std::string params;                   // always in it ("key=value:key=value")
    std::string inOrderParams;            // added when frames must keep presentation order
    std::string losslessParams;           // added for the lossless quality
    bool headersInBand = false;           // parameter sets travel with the key frames, not in the file header
    bool reorders = false;                // may use B-frames where the caller allows it
    bool endsStreamOnClose = false;       // must see its end of stream before it is closed, or it hangs
};

struct VideoCodecInfo {
    OSType type = 0;
    const char* name = "";         // shown to the user
    const char* encoder = "";      // FFmpeg encoder name
    std::vector<std::string> pixelFormats;  // FFmpeg pixel format names, preferred first
    bool hasDepthChoice = false;
    bool hasSpeedPreset = false;
    bool hasLossless = false;      // spatial quality 0x400 switches to the encoder's lossless mode
    bool hasDataRate = false;      // a data rate switches to bit-rate control
    bool hasTemporal = false;      // difference frames between key frames
    bool mp4Allowed = false;       // can live in an .mp4 file
    bool movAllowed = true;        // can live in a .mov file
    int blockSize = 1;             // sides in whole blocks of this many pixels, beyond what the format needs
    QualityScale scale = QualityScale::None;
    const char* encoderProfile = nullptr;  // the encoder's own profile (ProRes flavours), or none
    EncoderTuning tuning;

    bool IsAvailable() const;      // the encoder exists in this FFmpeg build
};

// The encoder's own figure for a spatial quality.
struct QualityValue {
    QualityScale scale = QualityScale::None;
    double value = 0;     // CRF or quantiser; meaningless for None and lossless
    bool lossless = false;
};

namespace VideoCodecTable {

const std::vector<VideoCodecInfo>& All();
// Null for a type that is not in the table.
const VideoCodecInfo* Find(OSType type);
// The first codec a typed name fits ("h264", "H.264", "libx264", "avc1");
// null when none does.
const VideoCodecInfo* FindByName(std::string_view name);
// The shown name, or the four characters for an unknown type.
std::string NameOf(OSType type);

constexpr int kMinQuality = 0;
constexpr int kLowQuality = 0x100;
constexpr int kNormalQuality = 0x200;
constexpr int kHighQuality = 0x300;
constexpr int kMaxQuality = 0x3FF;
constexpr int kLosslessQuality = 0x400;

// Spatial quality (clamped to 0 ... 0x400) to the encoder's scale, by
// linear interpolation between the fixed points of each family.
QualityValue MapQuality(const VideoCodecInfo& codec, int spatialQuality);
// The encoder's own figure as text for the settings dialog: "CRF 23",
// "q 5", "lossless", "fixed quality".
std::string QualityText(const VideoCodecInfo& codec, int spatialQuality);

// The encoder's pixel format for the settings' pixel depth: 1 black and
// white, 2 and 4 grey levels, 8 a 256-colour palette (grey where the
// encoder has no palette), 32 millions with alpha. Codecs without a depth
// choice, and depths a codec cannot honour (0, 16, 24, ...), get the
// codec's usual format.
std::string PixelFormatForDepth(const VideoCodecInfo& codec, int depth);

// The pixel depths (1, 2, 4, 8, 16, 24, 32) whose pixel format this codec
// writes, in rising order: every depth it offers a choice of, or the one
// depth of its usual format. A depth outside the list is written as the
// codec's usual format (24 for most).
std::vector<int> WritableDepths(const VideoCodecInfo& codec);
// The depth the codec really writes for the settings' depth.
int WrittenDepth(const VideoCodecInfo& codec, int depth);

// The pixel format for the settings' depth and the pictures' bits: over 8
// bits, the codec's first YUV format that holds them, when it has one.
std::string PixelFormatForColour(const VideoCodecInfo& codec, int depth, int bitDepth);

// The steps the frame's width and height must come in: what the pixel
// format's colour subsampling needs (4:2:0 even sides, 4:2:2 an even
// width, 4:1:0 multiples of 4) and the codec's own blocks.
struct FrameSteps {
    int across = 1, down = 1;
};
FrameSteps FrameStepsFor(const VideoCodecInfo& codec, int depth);
// "H.264 needs an even width and height", for notes and refusals.
std::string FrameStepsRule(const VideoCodecInfo& codec, FrameSteps steps);

}  // namespace VideoCodecTable
