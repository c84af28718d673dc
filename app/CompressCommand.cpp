#include "app/CompressCommand.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/SettingsRecordText.h"
#include "app/SettingsSource.h"
#include "compress/CompressMovieFile.h"
#include "compress/TerminalProgress.h"
#include "model/CTambleVideoDocModel.h"
#include "model/DescriptionTime.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/VideoSettings.h"

namespace fs = std::filesystem;

namespace {

int Refuse(const std::string& line, int code = 2) {
    std::fprintf(stderr, "movelark: %s\n", line.c_str());
    return code;
}

bool ToSpec(const std::string& path, FSSpec& spec) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    return !ec && FSSpec::FromPath(absolute.lexically_normal().string(), spec) == noErr;
}

bool ReadWholeFile(const std::string& path, Handle& out) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;  // a pipe would block, a folder is no preset
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > 16 * 1024 * 1024) return false;  // presets are small
    in.seekg(0);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    if (!in) return false;
    out = Handle(std::move(bytes));
    return true;
}

// A preset file is a settings description with its kind's atom ('vide' or
// 'soun') at the top; anything else would compress silently with defaults.
bool IsPresetOfKind(const Handle& preset, OSType kind) {
    AtomContainer container;
    return AtomContainer::TryParse(preset, container) && container.Find(kind) != nullptr;
}

// The built-in default: H.264 at normal quality, AAC at 128 kbit/s.
Handle DefaultVideoSettings() { return MakeVideoSettings(FourCC("avc1"), 0x200); }
Handle DefaultSoundSettings() {
    return MakeSoundSettings(FourCC("aac "), 0, 16, 0, {{"bitrate", "128000"}});
}

// A preset replaces every segment of its kind with one spanning the movie.
void UseOneSegment(CTambleVideoDocModel& model, Handle settings, bool video) {
    auto segment = std::make_unique<Handle>(std::move(settings));
    SetDescriptionTime(segment.get(), STimeValue{0, model.GetDuration().scale}, model.GetDuration());
    CDescriptionList& list = video ? model.VideoSegments() : model.AudioSegments();
    list.DisposeAll();
    list.Append(std::move(segment));
}

struct CompressOptions {
    std::string source, destination, settingsFrom, videoPreset, audioPreset;
    bool quiet = false;
};

bool ParseOptions(const std::vector<std::string>& args, CompressOptions& o, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) { error = a + " needs a value"; return false; }
            into = args[++i];
            return true;
        };
        if (a == "-o" || a == "--output") { if (!value(o.destination)) return false; }
        else if (a == "--settings") { if (!value(o.settingsFrom)) return false; }
        else if (a == "--video-preset") { if (!value(o.videoPreset)) return false; }
        else if (a == "--audio-preset") { if (!value(o.audioPreset)) return false; }
        else if (a == "--quiet" || a == "-q") o.quiet = true;
        else if (a.size() > 1 && a[0] == '-') { error = "unknown option " + a; return false; }
        else if (o.source.empty()) o.source = a;
        else { error = "more than one source movie given (" + o.source + ", " + a + ")"; return false; }
    }
    if (o.source.empty()) { error = "no source movie given"; return false; }
    if (o.destination.empty()) { error = "no destination given (-o DEST)"; return false; }
    return true;
}

}  // namespace

int RunCompressCommand(const CommandContext& context) {
    CompressOptions o;
    std::string error;
    if (!ParseOptions(context.args, o, error)) return Refuse(error + "\nusage: movelark compress SOURCE -o DEST [--settings FROM] [--video-preset F.QTcd] [--audio-preset F.QTac] [--quiet]");

    FSSpec source, destination;
    if (!ToSpec(o.source, source)) return Refuse("the source path is too long: " + o.source, 1);
    if (!ToSpec(o.destination, destination)) return Refuse("the destination path is too long: " + o.destination, 1);
    if (!fs::exists(source.Path())) return Refuse("no such file: " + o.source, 1);
    std::error_code ec;
    if (fs::equivalent(source.Path(), destination.Path(), ec))
        return Refuse("the destination must not be the source movie", 1);

    CTambleVideoDocModel model;
    try {
        if (!model.SetSourceFile(source) || !model.GetMovie())
            return Refuse("\"" + o.source + "\" cannot be opened as a movie with pictures", 1);
        if (!o.settingsFrom.empty()) {
            Handle record;
            if (!LoadSettingsRecord(o.settingsFrom, record, error)) return Refuse(error, 1);
            model.ReadSettings(record);
        }
    } catch (const LException& e) {
        return Refuse("the stored settings cannot be read: " + std::string(e.what()), 1);
    }

    Handle preset;
    if (!o.videoPreset.empty()) {
        if (!ReadWholeFile(o.videoPreset, preset)) return Refuse("cannot read the video preset " + o.videoPreset, 1);
        if (!IsPresetOfKind(preset, FourCC("vide"))) return Refuse(o.videoPreset + " is not a video settings preset", 1);
        UseOneSegment(model, preset, true);
    }
    if (!o.audioPreset.empty()) {
        if (!ReadWholeFile(o.audioPreset, preset)) return Refuse("cannot read the sound preset " + o.audioPreset, 1);
        if (!IsPresetOfKind(preset, FourCC("soun"))) return Refuse(o.audioPreset + " is not a sound settings preset", 1);
        UseOneSegment(model, preset, false);
    }
    if (model.VideoSegmentCount() == 0) {
        UseOneSegment(model, DefaultVideoSettings(), true);
        if (model.AudioSegmentCount() == 0 && model.HasAudio()) UseOneSegment(model, DefaultSoundSettings(), false);
    }

    std::unique_ptr<CompressionProgress> progress;
    if (o.quiet) progress = std::make_unique<SilentProgress>();
    else progress = std::make_unique<TerminalProgress>(stderr);
    CTambleVideoDocModel::SetCompressMovieFileHook(
        [&progress](const FSSpec& s, const FSSpec& d, const SCompressSettings& settings, std::string* message) {
            return CompressMovieFile(s, d, settings, *progress, message);
        });
    const OSErr result = model.Compress(destination);
    CTambleVideoDocModel::SetCompressMovieFileHook(nullptr);
    const bool interrupted = TerminalProgress::Interrupted();
    progress.reset();

    const std::string& message = model.GetCompressMessage();
    if (result != noErr)
        return Refuse(message.empty() ? "compression failed (error " + std::to_string(result) + ")" : message, 1);
    if (!fs::exists(destination.Path())) return Refuse(interrupted ? "cancelled; nothing was written" : "cancelled", 130);
    if (!message.empty() && !o.quiet) std::fprintf(stderr, "movelark: note: %s\n", message.c_str());
    if (!o.quiet) std::fprintf(stderr, "Wrote %s\n", destination.Path().c_str());
    return 0;
}

int RunSettingsCommand(const CommandContext& context) {
    std::string file;
    bool json = false;
    for (const std::string& a : context.args) {
        if (a == "--json") json = true;
        else if (a.size() > 1 && a[0] == '-') return Refuse("unknown option " + a + "\nusage: movelark settings FILE [--json]");
        else if (file.empty()) file = a;
        else return Refuse("more than one file given\nusage: movelark settings FILE [--json]");
    }
    if (file.empty()) return Refuse("no file given\nusage: movelark settings FILE [--json]");
    Handle record;
    std::string why;
    if (!LoadSettingsRecord(file, record, why)) return Refuse(why, 1);
    try {
        const std::string text = json ? DescribeSettingsRecordAsJson(record) : DescribeSettingsRecord(record);
        std::fwrite(text.data(), 1, text.size(), stdout);
    } catch (const LException& e) {
        return Refuse("the settings record in \"" + file + "\" is damaged: " + e.what(), 1);
    }
    return 0;
}
