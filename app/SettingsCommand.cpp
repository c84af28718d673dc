#include <cstdio>

#include "app/CompressCommand.h"
#include "app/PresetLibrary.h"
#include "app/SettingsRecordText.h"
#include "app/SettingsSource.h"
#include "app/ToolCommandLine.h"
#include "framework/LException.h"

namespace {

int Refuse(const std::string& line, int code) {
    std::fprintf(stderr, "movelark: %s\n", line.c_str());
    return code;
}

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

}  // namespace

int RunSettingsCommand(const CommandContext& context) {
    ToolCommandLine line("settings", "FILE",
                         "Prints the settings stored in a movie, a droplet, a settings record or a preset file.");
    line.AddFlag({QStringLiteral("json")}, QStringLiteral("Print them as JSON."));
    switch (line.Parse(context.args)) {
        case ToolCommandLine::Outcome::Help: Print(line.HelpText()); return 0;
        case ToolCommandLine::Outcome::Refused: return Refuse(line.Error() + "\n" + line.UsageLine(), 2);
        case ToolCommandLine::Outcome::Run: break;
    }
    const std::vector<std::string> files = line.Positional();
    if (files.size() != 1) return Refuse(std::string(files.empty() ? "no file given" : "more than one file given") + "\n" + line.UsageLine(), 2);
    const std::string& file = files.front();
    const bool json = line.IsSet("json");

    // A preset file describes itself; anything else holds a record.
    Handle preset;
    if (PresetLibrary::ReadSmallFile(file, preset)) {
        const std::string text = json ? DescribePresetAsJson(preset) : DescribePreset(preset);
        if (!text.empty()) {
            Print(text);
            return 0;
        }
    }
    Handle record;
    std::string why;
    if (!LoadSettingsRecord(file, record, why)) return Refuse(why, 1);
    try {
        Print(json ? DescribeSettingsRecordAsJson(record) : DescribeSettingsRecord(record));
    } catch (const LException& e) {
        return Refuse("the settings record in \"" + file + "\" is damaged: " + e.what(), 1);
    }
    return 0;
}

int RunPresetsCommand(const CommandContext& context) {
    ToolCommandLine line("presets", "",
                         "Lists the video, sound and effect presets by kind, with the names compress takes.");
    line.AddFlag({QStringLiteral("paths")}, QStringLiteral("Show each preset's file too."));
    switch (line.Parse(context.args)) {
        case ToolCommandLine::Outcome::Help: Print(line.HelpText()); return 0;
        case ToolCommandLine::Outcome::Refused: return Refuse(line.Error() + "\n" + line.UsageLine(), 2);
        case ToolCommandLine::Outcome::Run: break;
    }
    if (!line.Positional().empty()) return Refuse("presets takes no files\n" + line.UsageLine(), 2);
    PresetLibrary::PrepareApplicationFolder();
    std::string kind;
    for (const PresetLibrary::Entry& entry : PresetLibrary::List()) {
        if (entry.kind != kind) {
            kind = entry.kind;
            Print((kind == "Video" ? "" : "\n") + kind + ":\n");
        }
        std::printf("  %-28s %s\n", entry.name.c_str(), entry.summary.c_str());
        if (line.IsSet("paths")) std::printf("  %-28s %s\n", "", entry.path.c_str());
    }
    return 0;
}
