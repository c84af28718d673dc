// The warning for the parts of a source that could not be read (a file cut
// off in the middle of copying, a damaged download): the run keeps what it
// could read and says what it left out.
#pragma once

#include <string>
#include <vector>

struct UnreadableSpan {
    std::string what;  // "pictures", "sound"
    double from = 0, to = 0;  // seconds of the source
};

// "a.mp4" is damaged or incomplete: its pictures from 0:01.77 to 0:04.00
// cannot be read, so the output leaves them out.
std::string UnreadableWarning(const std::string& fileName, const std::vector<UnreadableSpan>& spans);

// "a.mp4" is damaged: its pictures from 0:04.90 to 0:05.60 could not all
// be decoded, so the output may have faults there.
std::string UndecodableWarning(const std::string& fileName, const std::vector<UnreadableSpan>& spans);

// "a.ts" has times that start over after 0:01.00 (recordings joined end to
// end?): only the part before is in the output.
std::string StartOverWarning(const std::string& fileName, double reachedSeconds);

// 0:01.77, or 1:02:03.50 from an hour on.
std::string MovieTimeText(double seconds);
