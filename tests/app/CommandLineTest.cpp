#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using Args = std::vector<std::string>;

TEST(CommandTail, BatchArgumentsAreQuotedOneByOneFilesKeepTheirBlanks) {
    const std::pair<Args, std::string> tails[] = {
        {{"BATCH"}, "BATCH"},
        {{"BATCH", ""}, "BATCH \"\""},
        // Lower case is not a hand-over: the words are joined as a path would be.
        {{"batch", "/a b/x"}, "batch /a b/x"},
        {{}, ""},
        {{"/movies/my clip.mov"}, "/movies/my clip.mov"},
        {{"/movies/my", "clip.mov"}, "/movies/my clip.mov"},
        // Blanks and control characters before the tail are skipped, the rest is kept.
        {{" \t\x01/x.mov  "}, "/x.mov  "},
    };
    for (const auto& [args, tail] : tails) EXPECT_EQ(BuildCommandTail(args), tail) << tail;
}

TEST(LaunchParsing, PicksTheModeAndTheTail) {
    // Arguments, mode, the command tail (null: not looked at).
    const std::tuple<Args, LaunchMode, const char*> cases[] = {
        {{}, LaunchMode::Window, ""},
        {{"--version"}, LaunchMode::Version, nullptr},
        {{"--help"}, LaunchMode::Help, nullptr},
        {{"--", "-odd.mov"}, LaunchMode::Window, "-odd.mov"},  // "--" ends the options
        // A batch in both forms; only the exact word starts one.
        {{"BATCH", "/d/x y", "/d/Droplet.ini"}, LaunchMode::Batch, "BATCH \"/d/x y\" \"/d/Droplet.ini\""},
        {{"BATCH \"/d/x y\" \"/d/Droplet.ini\""}, LaunchMode::Batch, "BATCH \"/d/x y\" \"/d/Droplet.ini\""},
        {{"BATCHED"}, LaunchMode::Window, nullptr},
        {{"Batch", "a"}, LaunchMode::Window, nullptr},
    };
    for (const auto& [args, mode, tail] : cases) {
        const auto request = ParseLaunch(args);
        EXPECT_EQ(request.mode, mode) << (args.empty() ? "" : args[0]);
        if (tail != nullptr) {
            EXPECT_EQ(request.commandTail, tail);
        }
    }
}

TEST(LaunchParsing, SubcommandsGetTheirOwnArgumentsAndAreInTheUsage) {
    for (const auto& command : Subcommands()) {
        EXPECT_NE(command.handler, nullptr) << command.name;
        EXPECT_EQ(ParseLaunch(Args{command.name, "x"}).command, &command);
        EXPECT_NE(UsageText().find(command.name), std::string::npos) << command.name;
    }
    EXPECT_NE(UsageText().find("--version"), std::string::npos);
    EXPECT_EQ(FindSubcommand("batch"), nullptr);
}

}  // namespace
