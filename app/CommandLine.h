// The command line: the command tail the start-up sequence works with, and
// the one table of subcommands (compress, settings, BATCH) with their handlers.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

struct CommandContext {
    std::vector<std::string> args;  // the words after the subcommand
    std::string commandTail;        // the tail as start-up built it
};

// Returns the process exit code.
using CommandHandler = int (*)(const CommandContext&);

struct Subcommand {
    const char* name;
    CommandHandler handler;
    const char* usage;
};

std::span<const Subcommand> Subcommands();
const Subcommand* FindSubcommand(std::string_view name);

enum class LaunchMode {
    Window,      // open the tail's file, or ask for one
    Batch,       // a droplet's hand-over: the tail starts with BATCH
    Version,     // --version
    Help,        // --help
    Subcommand,  // compress, settings: a tool run without windows
    Refused,     // unknown option: error, exit 2
};

struct LaunchRequest {
    LaunchMode mode = LaunchMode::Window;
    const Subcommand* command = nullptr;  // Subcommand and Batch
    std::vector<std::string> args;        // after the subcommand word
    std::string commandTail;
    std::string error;                    // Refused: one line for the user
};

// args: the process arguments without the program's own name.
LaunchRequest ParseLaunch(const std::vector<std::string>& args);

// The command tail from the arguments: one argument is the tail as it
// stands (a path may hold blanks); after a first argument BATCH each further
// argument is put in double quotes; otherwise the arguments are joined with
// blanks. Leading blanks and control characters are skipped.
std::string BuildCommandTail(const std::vector<std::string>& args);

// A full command line without the program's name (a quoted name is skipped
// to its closing quote, otherwise up to the first blank or tab) and without
// the blanks and control characters after it.
std::string CommandTailOf(std::string_view commandLine);

// Usage lines for --help.
std::string UsageText();
