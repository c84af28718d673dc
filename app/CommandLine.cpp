#include "app/CommandLine.h"

#include <algorithm>

#include "app/CompressCommand.h"

#include "app/DropletBatchCommand.h"

namespace {

// The single dispatch point for subcommands.
constexpr Subcommand kSubcommands[] = {
    {"compress", &RunCompressCommand,
     "movelark compress [options] SOURCE... -o DEST   compress without a window (compress --help)"},
    {"settings", &RunSettingsCommand, "movelark settings FILE [--json]    print stored or preset settings"},
    {"presets", &RunPresetsCommand, "movelark presets                   list the presets by kind"},
    {"BATCH", RunDropletBatchCommand, "movelark BATCH DROPLET HANDOVER-FILE   (started by a droplet)"},
};

bool IsSkippedAfterName(char c) { return c == ' ' || uint8_t(c) < 0x20 || c == 0x7F; }

std::string_view SkipBlanksAndControls(std::string_view text) {
    while (!text.empty() && IsSkippedAfterName(text.front())) text.remove_prefix(1);
    return text;
}

std::string FirstWord(std::string_view tail) { return std::string(tail.substr(0, tail.find(' '))); }

}  // namespace

std::span<const Subcommand> Subcommands() { return kSubcommands; }

const Subcommand* FindSubcommand(std::string_view name) {
    for (const auto& command : kSubcommands)
        if (name == command.name) return &command;
    return nullptr;
}

std::string BuildCommandTail(const std::vector<std::string>& args) {
    std::string tail;
    if (args.size() == 1) {
        tail = args[0];
    } else if (!args.empty() && args[0] == "BATCH") {
        tail = "BATCH";
        for (size_t i = 1; i < args.size(); ++i) tail += " \"" + args[i] + "\"";
    } else {
        for (size_t i = 0; i < args.size(); ++i) tail += (i ? " " : "") + args[i];
    }
    return std::string(SkipBlanksAndControls(tail));
}

std::string CommandTailOf(std::string_view commandLine) {
    std::string_view rest = commandLine;
    if (!rest.empty() && rest.front() == '"') {
        size_t close = rest.find('"', 1);
        rest.remove_prefix(close == std::string_view::npos ? rest.size() : close + 1);
    } else {
        size_t end = rest.find_first_of(" \t");
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
    }
    return std::string(SkipBlanksAndControls(rest));
}

LaunchRequest ParseLaunch(const std::vector<std::string>& args) {
    LaunchRequest request;
    if (args.empty()) return request;

    const std::string& first = args[0];
    if (first == "--version") {
        request.mode = LaunchMode::Version;
        return request;
    }
    if (first == "--help" || first == "-h") {
        request.mode = LaunchMode::Help;
        return request;
    }

    // Droplets start "movelark BATCH a b" or, as one argument,
    // "movelark 'BATCH "a" "b"'"; both give the same tail.
    std::string tail = BuildCommandTail(args);
    if (FirstWord(tail) == "BATCH") {
        request.mode = LaunchMode::Batch;
        request.command = FindSubcommand("BATCH");
        request.commandTail = tail;
        return request;
    }

    if (const Subcommand* command = FindSubcommand(first)) {
        request.mode = LaunchMode::Subcommand;
        request.command = command;
        request.args.assign(args.begin() + 1, args.end());
        request.commandTail = tail;
        return request;
    }

    // "--" ends the options: what follows is a file, even when it starts with "-".
    if (first == "--") {
        std::vector<std::string> rest(args.begin() + 1, args.end());
        request.commandTail = BuildCommandTail(rest);
        return request;
    }
    if (first.size() > 1 && first[0] == '-') {
        request.mode = LaunchMode::Refused;
        request.error = "movelark: unknown option " + first + " (movelark --help lists the commands)";
        return request;
    }
    request.commandTail = tail;
    return request;
}

std::string UsageText() {
    std::string text =
        "Usage:\n"
        "  movelark [FILE]          open a movie in a window (or choose one)\n"
        "  movelark --version       print the version\n"
        "  movelark COMMAND --help  help on one command\n";
    for (const auto& command : kSubcommands) text += std::string("  ") + command.usage + "\n";
    return text;
}
