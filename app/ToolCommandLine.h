// The options of one tool subcommand (compress, settings, presets), read
// with Qt's command-line parser: options anywhere, "--" ends them, and
// --help prints the subcommand's own help.
#pragma once

#include <QCommandLineParser>
#include <string>
#include <vector>

class ToolCommandLine {
public:
    // arguments: what follows the options in the usage line ("FILE").
    ToolCommandLine(std::string command, std::string arguments, std::string description);

    void AddFlag(const QStringList& names, const QString& help);
    void AddValue(const QStringList& names, const QString& valueName, const QString& help);

    enum class Outcome { Run, Help, Refused };
    // args: the words after the subcommand. Refused leaves one line in Error().
    Outcome Parse(const std::vector<std::string>& args);

    bool IsSet(const char* name) const;
    // The last value given; empty when the option is not set.
    std::string Value(const char* name) const;
    std::vector<std::string> Values(const char* name) const;
    std::vector<std::string> Positional() const;

    const std::string& Error() const { return mError; }
    std::string HelpText() const;
    std::string UsageLine() const;

private:
    QCommandLineParser mParser;
    std::string mCommand, mArguments, mDescription, mError;
};

// Command-line words to and from file names as the system spells them.
QString FromLocalText(const std::string& text);
std::string ToLocalText(const QString& text);
