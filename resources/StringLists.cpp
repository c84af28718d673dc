#include "resources/StringLists.h"

#include <charconv>
#include <stdexcept>

#include "resources/ResourceFile.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads one decimal field of 1 to 32767 and the blanks after it.
bool ReadNumber(std::string_view& rest, int16_t& out) {
    size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    int value = 0;
    auto [ptr, ec] = std::from_chars(rest.data(), rest.data() + end, value);
    if (ec != std::errc() || ptr != rest.data() + end || value < 1 || value > 32767) return false;
    out = int16_t(value);
    rest.remove_prefix(end);
    return true;
}

// Cut to 255 bytes without leaving half a UTF-8 character at the end.
void CutToItemLength(std::string& text) {
    if (text.size() <= kMaxStringItemLength) return;
    text.resize(kMaxStringItemLength);
    size_t start = text.size();
    while (start > 0 && (uint8_t(text[start - 1]) & 0xC0) == 0x80) --start;
    if (start == 0) return;
    uint8_t lead = uint8_t(text[start - 1]);
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (start - 1 + length > text.size()) text.resize(start - 1);
}

bool Unescape(std::string_view text, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == text.size()) return false;
        switch (text[i]) {
            case '0': out += '\0'; break;
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case '\\': out += '\\'; break;
            default: return false;
        }
    }
    CutToItemLength(out);
    return true;
}

}  // namespace

StringListTable StringListTable::Parse(std::string_view text) {
    StringListTable table;
    size_t lineNumber = 0;
    while (!text.empty()) {
        size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        std::string_view rest = line;
        while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
        if (rest.empty() || rest.front() == '#') continue;

        auto fail = [&](const char* why) {
            throw std::runtime_error("strings.txt line " + std::to_string(lineNumber) + ": " + why);
        };
        int16_t list = 0, item = 0;
        if (!ReadNumber(rest, list)) fail("bad list number");
        while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
        if (!ReadNumber(rest, item)) fail("bad item number");
        // Exactly one separator: a text may itself begin with a blank.
        if (!rest.empty()) rest.remove_prefix(1);
        std::string value;
        if (!Unescape(rest, value)) fail("bad escape");
        if (!table.mItems.emplace(std::make_pair(list, item), std::move(value)).second)
            fail("item defined twice");
    }
    return table;
}

std::string StringListTable::Get(int16_t list, int16_t item) const {
    auto it = mItems.find({list, item});
    return it == mItems.end() ? std::string() : it->second;
}

std::string GetIndString(int16_t list, int16_t item) {
    // Read once; a broken or missing file leaves every list empty.
    static const StringListTable table = [] {
        auto bytes = ResourceFile::Read("strings.txt");
        if (!bytes) return StringListTable();
        try {
            return StringListTable::Parse(std::string_view(bytes->data(), bytes->size()));
        } catch (const std::exception&) {
            return StringListTable();
        }
    }();
    return table.Get(list, item);
}
