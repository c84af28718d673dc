#include "app/IniFile.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimBlanks(const std::string& text) {
    size_t start = 0, end = text.size();
    while (start < end && IsBlank(text[start])) ++start;
    while (end > start && IsBlank(text[end - 1])) --end;
    return text.substr(start, end - start);
}

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

bool SameName(const std::string& a, const std::string& b) { return LowerAscii(a) == LowerAscii(b); }

std::string LookupKey(const std::string& section, const std::string& key) {
    return LowerAscii(section) + '\0' + LowerAscii(key);
}

// The name of a section header line ("[name]"), or false.
bool SectionHeader(const std::string& line, std::string& name) {
    std::string trimmed = TrimBlanks(line);
    if (trimmed.size() < 2 || trimmed.front() != '[') return false;
    size_t close = trimmed.find(']');
    if (close == std::string::npos) return false;
    name = TrimBlanks(trimmed.substr(1, close - 1));
    return true;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string ReadText(const std::string& path) {
    // A pipe or a device named as a hand-over file must not block the reader.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return {};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string text;
    char chunk[4096];
    while (text.size() < IniFile::kMaxFileSize && in.read(chunk, sizeof chunk).gcount() > 0)
        text.append(chunk, size_t(in.gcount()));
    if (text.size() > IniFile::kMaxFileSize) text.resize(IniFile::kMaxFileSize);
    return text;
}

}  // namespace

IniFile IniFile::Load(const std::string& path) { return Parse(ReadText(path)); }

IniFile IniFile::Parse(const std::string& text) {
    IniFile file;
    std::string section;
    bool inSection = false;
    for (const std::string& line : SplitLines(text)) {
        std::string name;
        if (SectionHeader(line, name)) {
            section = name;
            inSection = true;
            continue;
        }
        std::string trimmed = TrimBlanks(line);
        if (!inSection || trimmed.empty() || trimmed.front() == ';') continue;
        size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string value = line.substr(equals + 1);
        value.erase(0, std::min(value.size(), value.find_first_not_of(" \t")));
        file.mValues.emplace(LookupKey(section, TrimBlanks(line.substr(0, equals))), std::move(value));
    }
    return file;
}

std::string IniFile::GetString(const std::string& section, const std::string& key,
                               const std::string& defaultValue, size_t bufferSize) const {
    auto found = mValues.find(LookupKey(section, key));
    std::string result = found != mValues.end() ? found->second : defaultValue;
    if (bufferSize == 0) return {};
    if (result.size() > bufferSize - 1) result.resize(bufferSize - 1);
    return result;
}

bool IniFile::WriteSection(const std::string& path, const std::string& section,
                           const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string out;
    bool skipping = false;
    for (const std::string& line : SplitLines(ReadText(path))) {
        std::string name;
        if (SectionHeader(line, name)) skipping = SameName(name, section);
        if (!skipping) out += line + "\n";
    }
    out += "[" + section + "]\n";
    for (const auto& [key, value] : entries) {
        if (key.find('\n') != std::string::npos || value.find('\n') != std::string::npos) return false;
        out += key + "=" + value + "\n";
    }

    // Written beside the target and renamed over it, so a failed write
    // never leaves half a file.
    std::string temp = path + "." + std::to_string(getpid()) + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file.write(out.data(), std::streamsize(out.size()));
        if (!file.flush()) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (!ec) return true;
    std::filesystem::remove(temp, ec);
    return false;
}
