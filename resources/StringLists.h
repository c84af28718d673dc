// String lists of the resource file: texts addressed by (list number, item
// number from 1), at most 255 bytes each. The lists are compiled into the
// program from strings.txt.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

constexpr size_t kMaxStringItemLength = 255;

// The text of one item; empty when the list or the item does not exist.
std::string GetIndString(int16_t list, int16_t item);

// One parsed strings.txt. Each line is "LIST ITEM TEXT" (numbers separated
// by blanks or tabs, then one blank or tab, then the text to the end of the
// line). In the text "\0" stands for a zero byte, "\n" for a line break,
// "\t" for a tab and "\\" for a backslash. Lines that are blank or start
// with "#" are comments. Texts longer than 255 bytes are cut.
class StringListTable {
public:
    // Throws std::runtime_error naming the line for a malformed line.
    static StringListTable Parse(std::string_view text);

    std::string Get(int16_t list, int16_t item) const;
    size_t Count() const { return mItems.size(); }

private:
    std::map<std::pair<int16_t, int16_t>, std::string> mItems;
};
