// Encoder options written as UTF-8 text lines "name=value" ('xopt' of the
// video settings, 'CSTa' of the sound settings).
#pragma once

#include <string>
#include <utility>
#include <vector>

using EncoderOptions = std::vector<std::pair<std::string, std::string>>;

// Lines without "=" or with an empty name, blank lines and lines starting
// with "#" are skipped; names and values are trimmed. At most 256 options.
EncoderOptions ParseEncoderOptions(const std::string& text);
std::string FormatEncoderOptions(const EncoderOptions& options);
// The value of the last option with that name, or "" when absent.
std::string FindEncoderOption(const EncoderOptions& options, const std::string& name);
