#include "platform/media/encode/CodecNames.h"

#include <cctype>

#include "platform/media/AVHandles.h"

namespace {

// Names people use that neither FFmpeg nor the tables spell that way.
constexpr std::pair<std::string_view, std::string_view> kAliases[] = {{"h265", "hevc"}, {"pcm", "twos"}};

}  // namespace

std::string NormalisedCodecName(std::string_view text) {
    std::string out;
    for (unsigned char c : text)
        if (std::isalnum(c)) out += char(std::tolower(c));
    return out;
}

bool CodecNameMatches(std::string_view typed, OSType type, const char* shownName, const char* encoder) {
    std::string wanted = NormalisedCodecName(typed);
    for (const auto& [alias, name] : kAliases)
        if (wanted == alias) wanted = name;
    if (wanted.empty()) return false;
    const std::string encoderName = NormalisedCodecName(encoder);
    if (wanted == NormalisedCodecName(FourCCToString(type)) || wanted == NormalisedCodecName(shownName) ||
        wanted == encoderName || (encoderName.starts_with("lib") && wanted == encoderName.substr(3)))
        return true;
    const AVCodec* codec = avcodec_find_encoder_by_name(encoder);
    return codec && wanted == NormalisedCodecName(avcodec_get_name(codec->id));
}
