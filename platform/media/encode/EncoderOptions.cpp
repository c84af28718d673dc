#include "platform/media/encode/EncoderOptions.h"

namespace {

constexpr size_t kMaxOptions = 256;

std::string Trim(const std::string& s) {
    const char* blanks = " \t\r\n";
    const size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

}  // namespace

EncoderOptions ParseEncoderOptions(const std::string& text) {
    EncoderOptions options;
    size_t start = 0;
    while (start <= text.size() && options.size() < kMaxOptions) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string name = Trim(line.substr(0, eq));
        if (name.empty() || name.find('\0') != std::string::npos) continue;
        std::string value = Trim(line.substr(eq + 1));
        if (value.find('\0') != std::string::npos) continue;
        options.emplace_back(std::move(name), std::move(value));
    }
    return options;
}

std::string FormatEncoderOptions(const EncoderOptions& options) {
    std::string text;
    for (const auto& [name, value] : options) text += name + "=" + value + "\n";
    return text;
}

std::string FindEncoderOption(const EncoderOptions& options, const std::string& name) {
    std::string found;
    for (const auto& [n, v] : options)
        if (n == name) found = v;
    return found;
}
