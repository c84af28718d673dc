#include "compress/UnreadableWarning.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::string MovieTimeText(double seconds) {
    const long hundredths = std::lround(std::max(0.0, seconds) * 100);
    const long h = hundredths / 360000, m = hundredths / 6000 % 60, s = hundredths / 100 % 60, c = hundredths % 100;
    char text[32];
    if (h > 0) std::snprintf(text, sizeof text, "%ld:%02ld:%02ld.%02ld", h, m, s, c);
    else std::snprintf(text, sizeof text, "%ld:%02ld.%02ld", m, s, c);
    return text;
}

namespace {

// its pictures from 0:01.77 to 0:04.00 and its sound from ...
std::string SpansText(const std::vector<UnreadableSpan>& spans) {
    std::string parts;
    for (size_t i = 0; i < spans.size(); ++i) {
        if (i > 0) parts += i + 1 == spans.size() ? " and " : ", ";
        parts += "its " + spans[i].what + " from " + MovieTimeText(spans[i].from) + " to " + MovieTimeText(spans[i].to);
    }
    return parts;
}

}  // namespace

std::string UnreadableWarning(const std::string& fileName, const std::vector<UnreadableSpan>& spans) {
    return "\"" + fileName + "\" is damaged or incomplete: " + SpansText(spans) +
           " cannot be read, so the output leaves them out.";
}

std::string StartOverWarning(const std::string& fileName, double reachedSeconds) {
    return "\"" + fileName + "\" has times that start over after " + MovieTimeText(reachedSeconds) +
           " (recordings joined end to end?): only the part before is in the output.";
}

std::string UndecodableWarning(const std::string& fileName, const std::vector<UnreadableSpan>& spans) {
    return "\"" + fileName + "\" is damaged: " + SpansText(spans) +
           " could not all be decoded, so the output may have faults there.";
}
