#include "resources/StringLists.h"

#include <gtest/gtest.h>

#include "resources/ResourceFile.h"
#include "resources/SharedStrings.h"

namespace {

TEST(ResourceFile, CompiledInListsAreComplete) {
    ASSERT_TRUE(ResourceFile::IsAvailable());
    auto bytes = ResourceFile::Read("strings.txt");
    ASSERT_TRUE(bytes);
    // The shipped file must parse: GetIndString would otherwise answer "" for everything.
    EXPECT_NO_THROW(StringListTable::Parse(std::string_view(bytes->data(), bytes->size())));

    // Every item some part of the program asks for by number.
    struct Item {
        int16_t list, item;
    };
    const Item needed[] = {
        {1000, 1}, {1000, 3}, {1001, 1}, {1001, 4}, {1001, 5}, {1001, 6}, {1001, 7}, {1001, 8},
        {1001, 9}, {1001, 11}, {1001, 12}, {1002, 1}, {1002, 2}, {1002, 3}, {1002, 4}, {1002, 19},
        {1002, 22}, {1002, 24}, {1002, 25}, {1002, 26}, {1002, 27}, {1002, 28}, {1002, 29},
        {1002, 30}, {1002, 31}, {1003, 2}, {1100, 1}, {1100, 37}, {1100, 40}, {2000, 1}, {2000, 3}, {2000, 4},
        {3000, 1}, {3000, 2}, {3000, 3}, {3000, 4}, {3000, 5}, {3000, 8}, {3000, 9}, {4242, 7}, {4242, 9},
        {4242, 10}, {4242, 15},
    };
    for (const auto& [list, item] : needed)
        EXPECT_FALSE(GetIndString(list, item).empty()) << list << "/" << item;
    // The error box table: codes -1753 ... 10012 and 'nilP' use items 21 to 38; 39 is a movie without pictures, 40 the batch summary.
    for (int16_t item = 21; item <= 39; ++item) EXPECT_FALSE(GetIndString(1100, item).empty()) << item;
}

TEST(ResourceFile, SharedStringsAreLoadedAndMessagesCarryTheirMarkers) {
    LoadSharedStrings();
    EXPECT_EQ(TheSharedStrings().videoCodecFolder, GetIndString(1002, 2));
    EXPECT_FALSE(TheSharedStrings().listBaseFilterFolder.empty());
    ReleaseSharedStrings();
    const std::string question = GetIndString(1001, 1);
    EXPECT_NE(question.find("^0", question.find("^0") + 2), std::string::npos);
}

}  // namespace
