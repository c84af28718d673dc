// A settings record in readable form, for `movelark settings`: every field
// of the record, with codec, sound and effect names spelled out; and the
// same for preset files.
#pragma once

#include <string>

#include "framework/Handle.h"

// Throws LException(eofErr) when the record ends early or lies about a size.
std::string DescribeSettingsRecord(const Handle& record);
std::string DescribeSettingsRecordAsJson(const Handle& record);

// A preset file: video or sound settings, or an effect. One line, such as
// "H.264, quality 512 (CRF 23)"; empty when the file is none of these.
std::string SummarisePreset(const Handle& preset);
// The same as `settings` prints it (kind, then the summary), or as JSON.
std::string DescribePreset(const Handle& preset);
std::string DescribePresetAsJson(const Handle& preset);
