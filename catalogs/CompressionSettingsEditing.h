// Making and editing video and sound compression settings with the
// settings dialogs, and naming a setting for the user.
#pragma once

#include <string>

#include "framework/Handle.h"

// Runs the video settings dialog on a settings container (a null or empty
// handle starts from the defaults). On OK the handle holds the new
// container and the answer is true. A container marked 'NONE' or 'DELT',
// or one that cannot be read, is refused at once (false, unchanged).
// Atoms the dialog does not show, 'Edsc' and 'Etim' among them, are kept.
bool EditVideoSettings(Handle& settings);

// The same for sound: format, rate, channels, sample size and bit rate;
// the codec's own settings ('CSTa') are kept across edits.
bool EditAudioSettings(Handle& settings);

// What a cell or a segment calls a setting: its 'Edsc' text when it has
// one, else the sound format's name for sound settings, else the codec's
// name. False when none applies (an unknown codec or sound format; the
// text is then list 1002 item 19 for sound).
bool DescribeSettings(const Handle& settings, std::string& outText);
