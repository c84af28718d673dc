// A settings record in readable form, for `movelark settings`: every field
// of the record, with codec, sound and effect names spelled out.
#pragma once

#include <string>

#include "framework/Handle.h"

// Throws LException(eofErr) when the record ends early or lies about a size.
std::string DescribeSettingsRecord(const Handle& record);
std::string DescribeSettingsRecordAsJson(const Handle& record);
