// What the compress command's options change in a document, read from the
// words typed and then applied through the same model operations and
// settings records that the document window uses.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "framework/FourCharCode.h"

class CTambleVideoDocModel;
class ToolCommandLine;

struct CommandLineEdits {
    // Video: every segment gets these.
    std::optional<OSType> codec;
    std::optional<int32_t> quality;     // spatial quality, 0 ... 0x400
    std::optional<uint32_t> dataRate;   // bytes per second
    // Picture, in the order the window applies them: turn and flips, crop, size.
    std::optional<int32_t> rotation;
    bool flipHorizontal = false, flipVertical = false;
    struct Crop { int32_t left, top, width, height; };
    std::optional<Crop> crop;
    int32_t width = 0, height = 0;      // 0 with the other side set: keep proportions
    std::string watermark;
    std::optional<uint32_t> placement;
    struct Span { double start, end; };  // seconds
    std::vector<Span> excluded;
    // Sound: the first sound track's settings.
    bool copySound = false;
    std::optional<OSType> soundType;
    std::optional<int> soundBitRate;     // bits per second
    std::optional<int> soundRate;        // Hz
    std::optional<int> channels;

    bool TouchesVideoSettings() const { return codec || quality || dataRate; }
    bool TouchesSound() const { return copySound || soundType || soundBitRate || soundRate || channels; }
};

// Declares the options on a command line (for compress).
void AddEditOptions(ToolCommandLine& line);
// Reads them; false with one line in `error` for a value that makes no sense.
bool ReadEdits(const ToolCommandLine& line, CommandLineEdits& edits, std::string& error);
// Applies them to a document whose movie is open; false with one line in
// `error` when they do not fit this movie (a crop outside the picture, a
// span past its end, a watermark that is not there).
bool ApplyEdits(const CommandLineEdits& edits, CTambleVideoDocModel& model, std::string& error);

// The codec names --codec and --sound take, for the help text.
std::string VideoCodecNames();
std::string SoundCodecNames();
