#include "app/CompressCommand.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLineEdits.h"
#include "app/PresetLibrary.h"
#include "app/QuietStandardError.h"
#include "app/SettingsSource.h"
#include "app/ToolCommandLine.h"
#include "compress/CompressMovieFile.h"
#include "compress/TerminalProgress.h"
#include "model/CTambleVideoDocModel.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/VideoCodecTable.h"
#include "platform/media/encode/VideoSettings.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kDescription =
    "Compresses movies without a window: with the settings stored in the source, in a movie, droplet\n"
    "or record given with --settings, or the built-in default (H.264, AAC 128 kbit/s); presets and\n"
    "the options below change them. With several sources, -o names a folder.";

struct CompressJob {
    std::string settingsFrom;
    Handle videoPreset, audioPreset;
    CommandLineEdits edits;
    bool quiet = false;
    std::FILE* errors = stderr;
};

int Refuse(std::FILE* errors, const std::string& line, int code) {
    std::fprintf(errors, "movelark: %s\n", line.c_str());
    return code;
}

bool ToSpec(const std::string& path, FSSpec& spec) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    return !ec && FSSpec::FromPath(absolute.lexically_normal().string(), spec) == noErr;
}

// The settings of one source: stored, then --settings, presets, the
// default, and the options on top.
bool PrepareModel(const CompressJob& job, const std::string& sourceName, CTambleVideoDocModel& model, std::string& error) {
    try {
        if (!job.settingsFrom.empty()) {
            Handle record;
            if (!LoadSettingsRecord(job.settingsFrom, record, error)) return false;
            model.ReadSettings(record);
        }
    } catch (const LException& e) {
        error = "the stored settings cannot be read: " + std::string(e.what());
        return false;
    }
    if (!job.videoPreset.IsNull()) model.UseOneVideoSegment(job.videoPreset);
    if (!job.audioPreset.IsNull()) model.UseOneAudioSegment(job.audioPreset);
    if (model.VideoSegmentCount() == 0) {
        model.UseOneVideoSegment(DefaultVideoSettings());
        if (model.AudioSegmentCount() == 0 && model.HasAudio()) model.UseOneAudioSegment(DefaultSoundSettings());
    }
    if (!ApplyEdits(job.edits, model, error)) {
        error = sourceName + ": " + error;
        return false;
    }
    return true;
}

// In a folder, the output keeps the source's name; a source that is not a
// QuickTime or MPEG-4 movie gets the extension of the movie written.
fs::path OutputInFolder(const fs::path& folder, const fs::path& source, const CTambleVideoDocModel& model) {
    std::string extension = source.extension().string();
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (extension != ".mov" && extension != ".mp4" && extension != ".m4v" && extension != ".qt") {
        const VideoCodecInfo* codec = nullptr;
        try {
            if (model.VideoSegmentCount() > 0)
                codec = VideoCodecTable::Find(VideoSettings::FromHandle(*model.GetVideoSegment(1)).codecType);
        } catch (const LException&) {
        }
        extension = codec && !codec->movAllowed ? ".mp4" : ".mov";
    }
    return folder / source.stem().concat(extension);
}

int CompressOne(const CompressJob& job, const std::string& sourceName, const fs::path* folder, std::string destinationName) {
    FSSpec source, destination;
    if (!ToSpec(sourceName, source)) return Refuse(job.errors, "the source path is too long: " + sourceName, 1);
    std::error_code ec;
    if (!fs::exists(source.Path(), ec)) return Refuse(job.errors, "no such file: " + sourceName, 1);

    CTambleVideoDocModel model;
    std::string error;
    try {
        if (!model.SetSourceFile(source) || !model.GetMovie()) {
            const bool noPictures = model.GetOpenRefusal() == CTambleVideoDocModel::OpenRefusal::NoPictures;
            return Refuse(job.errors, "\"" + sourceName + (noPictures ? "\" has no pictures, so there is nothing to compress"
                                                                      : "\" cannot be opened as a movie with pictures"), 1);
        }
    } catch (const LException& e) {
        return Refuse(job.errors, "the stored settings cannot be read: " + std::string(e.what()), 1);
    }
    if (!model.GetSettingsWarning().empty())
        std::fprintf(job.errors, "movelark: warning: %s\n", model.GetSettingsWarning().c_str());
    if (!PrepareModel(job, sourceName, model, error)) return Refuse(job.errors, error, 1);

    if (folder) destinationName = OutputInFolder(*folder, source.Path(), model).string();
    if (!ToSpec(destinationName, destination)) return Refuse(job.errors, "the destination path is too long: " + destinationName, 1);
    if (fs::equivalent(source.Path(), destination.Path(), ec))
        return Refuse(job.errors, "the destination must not be the source movie: " + destinationName, 1);

    std::unique_ptr<CompressionProgress> progress;
    if (job.quiet) progress = std::make_unique<SilentProgress>();
    else progress = std::make_unique<TerminalProgress>(stderr);
    CompressionJob compression(*progress);
    const OSErr result = model.Compress(destination, compression);
    const std::vector<std::string> warnings = progress->Warnings();
    progress.reset();

    const std::string& message = model.GetCompressMessage();
    if (result != noErr)
        return Refuse(job.errors, message.empty() ? "compression failed (error " + std::to_string(result) + ")" : message, 1);
    if (!fs::exists(destination.Path())) return Refuse(job.errors, "cancelled", 130);
    // The terminal said each warning as it came; a quiet run says them now.
    if (job.quiet)
        for (const std::string& warning : warnings) std::fprintf(job.errors, "movelark: warning: %s\n", warning.c_str());
    if (!job.quiet) std::fprintf(stderr, "Wrote %s\n", destination.Path().c_str());
    return 0;
}

}  // namespace

int RunCompressCommand(const CommandContext& context) {
    ToolCommandLine line("compress", "SOURCE... -o DEST", kDescription);
    line.AddValue({QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("DEST"),
                  QStringLiteral("The movie to write (.mov or .mp4), or the folder for several sources."));
    line.AddValue({QStringLiteral("settings")}, QStringLiteral("FROM"),
                  QStringLiteral("Take the settings stored in a movie, a droplet or a settings record."));
    line.AddValue({QStringLiteral("video-preset")}, QStringLiteral("NAME"),
                  QStringLiteral("A video preset by name (movelark presets lists them) or file."));
    line.AddValue({QStringLiteral("audio-preset")}, QStringLiteral("NAME"),
                  QStringLiteral("A sound preset by name or file."));
    AddEditOptions(line);
    line.AddFlag({QStringLiteral("q"), QStringLiteral("quiet")}, QStringLiteral("Print nothing but errors."));

    switch (line.Parse(context.args)) {
        case ToolCommandLine::Outcome::Help: std::fputs(line.HelpText().c_str(), stdout); return 0;
        case ToolCommandLine::Outcome::Refused: return Refuse(stderr, line.Error() + "\n" + line.UsageLine(), 2);
        case ToolCommandLine::Outcome::Run: break;
    }
    const std::vector<std::string> sources = line.Positional();
    const std::string output = line.Value("output");
    if (sources.empty()) return Refuse(stderr, "no source movie given\n" + line.UsageLine(), 2);
    if (output.empty()) return Refuse(stderr, "no destination given (-o DEST)\n" + line.UsageLine(), 2);

    CompressJob job;
    std::string error;
    if (!ReadEdits(line, job.edits, error)) return Refuse(stderr, error, 2);
    job.settingsFrom = line.Value("settings");
    job.quiet = line.IsSet("quiet");
    QuietStandardError quiet(job.quiet);
    job.errors = quiet.Errors();

    // Presets by name come from the application's folder, set up as the
    // window would on its first start.
    for (const auto& [option, kind, preset] : {std::tuple{"video-preset", FourCC("vide"), &job.videoPreset},
                                               std::tuple{"audio-preset", FourCC("soun"), &job.audioPreset}}) {
        if (!line.IsSet(option)) continue;
        PresetLibrary::PrepareApplicationFolder();
        if (!PresetLibrary::Find(line.Value(option), kind, *preset, error)) return Refuse(job.errors, error, 1);
    }

    std::error_code ec;
    const bool toFolder = sources.size() > 1 || fs::is_directory(output, ec) || output.back() == '/';
    const fs::path folder = output;
    if (toFolder && !fs::is_directory(folder, ec) && !fs::create_directories(folder, ec))
        return Refuse(job.errors, "the output folder " + output + " cannot be made: " + ec.message(), 1);

    int result = 0;
    for (const std::string& source : sources) {
        const int code = CompressOne(job, source, toFolder ? &folder : nullptr, output);
        if (code == 130) return code;  // interrupted: the rest waits for another run
        if (result == 0) result = code;
    }
    return result;
}
