#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

TEST(CommandTail, BatchArgumentsAreQuotedOneByOneFilesKeepTheirBlanks) {
    const std::pair<Args, std::string> tails[] = {
        {{"BATCH", "/a b/x.droplet", "/a b/Droplet.ini"}, "BATCH \"/a b/x.droplet\" \"/a b/Droplet.ini\""},
        // The one-argument form gives the same tail.
        {{"BATCH \"/a b/x.droplet\" \"/a b/Droplet.ini\""}, "BATCH \"/a b/x.droplet\" \"/a b/Droplet.ini\""},
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

TEST(CommandTail, ProgramNameIsRemovedFromAFullCommandLine) {
    const std::pair<const char*, const char*> lines[] = {
        {"movelark /x.mov", "/x.mov"}, {"\"/opt/Move lark/movelark\"   /x y.mov", "/x y.mov"},
        {"movelark\t\t BATCH \"a\" \"b\"", "BATCH \"a\" \"b\""}, {"movelark", ""}, {"\"unclosed name", ""},
        {"", ""}, {"movelark \r\n", ""}};
    for (const auto& [line, tail] : lines) EXPECT_EQ(CommandTailOf(line), tail) << line;
}

TEST(LaunchParsing, PicksTheMode) {
    EXPECT_EQ(ParseLaunch({}).mode, LaunchMode::Window);
    EXPECT_EQ(ParseLaunch({}).commandTail, "");
    EXPECT_EQ(ParseLaunch({"--version"}).mode, LaunchMode::Version);
    EXPECT_EQ(ParseLaunch({"--help"}).mode, LaunchMode::Help);

    auto file = ParseLaunch({"/m/a b.mov"});
    EXPECT_EQ(file.mode, LaunchMode::Window);
    EXPECT_EQ(file.commandTail, "/m/a b.mov");

    // "--" ends the options.
    auto dashed = ParseLaunch({"--", "-odd.mov"});
    EXPECT_EQ(dashed.mode, LaunchMode::Window);
    EXPECT_EQ(dashed.commandTail, "-odd.mov");
}

TEST(LaunchParsing, UnknownOptionsAreRefusedInOneLineSubcommandsGetTheirOwnArguments) {
    auto unknown = ParseLaunch({"--frobnicate"});
    EXPECT_EQ(unknown.mode, LaunchMode::Refused);
    EXPECT_NE(unknown.error.find("--frobnicate"), std::string::npos);
    EXPECT_EQ(unknown.error.find('\n'), std::string::npos);
    for (const auto& command : Subcommands()) {
        EXPECT_NE(command.handler, nullptr) << command.name;
        EXPECT_EQ(ParseLaunch(Args{command.name, "x"}).command, &command);
    }
    EXPECT_EQ(FindSubcommand("batch"), nullptr);
    EXPECT_EQ(FindSubcommand("nothing"), nullptr);
    auto request = ParseLaunch({"compress", "in.mov", "-o", "out.mov"});
    EXPECT_EQ(request.mode, LaunchMode::Subcommand);
    EXPECT_EQ(request.args, (Args{"in.mov", "-o", "out.mov"}));
}

TEST(LaunchParsing, BatchIsRecognisedInBothForms) {
    for (const Args& args : {Args{"BATCH", "/d/x y", "/d/Droplet.ini"}, Args{"BATCH \"/d/x y\" \"/d/Droplet.ini\""}}) {
        auto request = ParseLaunch(args);
        EXPECT_EQ(request.mode, LaunchMode::Batch);
        EXPECT_EQ(request.commandTail, "BATCH \"/d/x y\" \"/d/Droplet.ini\"");
    }
    // Only the exact word starts a batch.
    EXPECT_EQ(ParseLaunch({"BATCHED"}).mode, LaunchMode::Window);
    EXPECT_EQ(ParseLaunch({"Batch", "a"}).mode, LaunchMode::Window);
}

TEST(LaunchParsing, UsageNamesEveryCommand) {
    std::string usage = UsageText();
    for (const auto& command : Subcommands()) EXPECT_NE(usage.find(command.name), std::string::npos);
    EXPECT_NE(usage.find("--version"), std::string::npos);
}

}  // namespace
