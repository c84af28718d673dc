// Writes the seed corpora of the fuzz targets with the program's own
// writers: settings records, codec and effect presets, movies that carry a
// record, droplets, and hand-over files as the launcher writes them.
// Usage: make_fuzz_seeds OUTDIR
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/files/DropletFile.h"
#include "fuzz/FuzzSupport.h"
#include "model/DescriptionTime.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/VideoSettings.h"
#include "platform/media/source/MovieUserData.h"

namespace fs = std::filesystem;

namespace {

fs::path gOut;

void Save(const std::string& target, const std::string& name, const Handle& bytes) {
    fs::create_directories(gOut / target);
    std::ofstream out(gOut / target / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.Data()), std::streamsize(bytes.Size()));
}

Handle ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return Handle(bytes.data(), bytes.size());
}

std::unique_ptr<Handle> Timed(Handle description, int32_t start, int32_t end) {
    auto h = std::make_unique<Handle>(std::move(description));
    SetDescriptionTime(h.get(), STimeValue{start, 600}, STimeValue{end, 600});
    return h;
}

// The kinds of record a user makes: empty, one segment, everything.
Handle EmptyRecord() { return PretendDocModel().WriteSettings(); }

Handle FullRecord() {
    PretendDocModel model;
    model.SetRotation(90);
    model.SetFlipHorizontal(true);
    model.SetCrop(8, 4, 120, 90);
    model.SetOutputWidth(64);
    model.SetOutputHeight(48);
    model.SetCustomSize(true);
    FSSpec mark;
    FSSpec::FromPath("/home/someone/Pictures/mark.png", mark);
    model.SetWatermarkFile(mark);
    model.AddFilter(std::make_unique<Handle>(MakeEffectDescription(FourCC("blur"), {{FourCC("ksiz"), 3}})));
    model.AddFilter(std::make_unique<Handle>(MakeEffectDescription(FourCC("brco"), {{FourCC("brit"), 20}, {FourCC("cont"), -10}})));
    model.AddFilter(nullptr);
    std::vector<std::unique_ptr<Handle>> video, sound;
    video.push_back(Timed(MakeVideoSettings(FourCC("avc1"), 0x300, 30, 0, 25 << 16, {{"preset", "fast"}}), 0, 600));
    video.push_back(Timed(MakeVideoSettings(FourCC("jpeg"), 0x200), 600, 1200));
    sound.push_back(Timed(MakeSoundSettings(FourCC("aac "), 2, 16, 44100, {{"bitrate", "128000"}}), 0, 1200));
    model.LayVideoSegments(std::move(video));
    model.LayAudioSegments(std::move(sound));
    model.AddExcludedRange(TimeRange(STimeValue{300, 600}, STimeValue{450, 600}));
    return model.WriteSettings();
}

Handle OneSegmentRecord() {
    PretendDocModel model;
    std::vector<std::unique_ptr<Handle>> video;
    video.push_back(Timed(MakeVideoSettings(FourCC("mp4v"), 0x200), 0, 600));
    model.LayVideoSegments(std::move(video));
    return model.WriteSettings();
}

void PresetSeeds() {
    const std::pair<const char*, Handle> presets[] = {
        {"video-h264", MakeVideoSettings(FourCC("avc1"), 0x300, 30, 250000, 30 << 16, {{"preset", "slow"}})},
        {"video-prores", MakeVideoSettings(FourCC("apch"))},
        {"sound-aac", MakeSoundSettings(FourCC("aac "), 2, 16, 48000, {{"bitrate", "160000"}})},
        {"sound-pcm", MakeSoundSettings(FourCC("twos"), 1, 16, 22050)},
        {"effect-blur", MakeEffectDescription(FourCC("blur"), {{FourCC("ksiz"), 5}})},
        {"effect-hsl", MakeEffectDescription(FourCC("hslb"), {{FourCC("hue "), 10}, {FourCC("satu"), -20}, {FourCC("ligh"), 5}})},
        {"effect-wipe", MakeEffectDescription(FourCC("smpt"), {{FourCC("wpid"), 1}})},
        {"empty", AtomContainer().ToHandle()},
    };
    for (const auto& [name, handle] : presets) {
        Save("preset", name, handle);
        Save("preset", std::string(name) + "-timed", *Timed(handle, 60, 600));
    }
    AtomContainer nested;
    QTAtomNode& a = nested.InsertParent(FourCC("vide"), 1);
    QTAtomNode& b = a.InsertParent(FourCC("deep"), 2);
    b.InsertChildU32(FourCC("leaf"), 3, 0x12345678);
    b.InsertChildText(FourCC("text"), 1, "name=value");
    nested.Insert(FourCC("Edsc"), 1, "My effect", 9);
    Save("preset", "nested", nested.ToHandle());
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

void MovieSeeds(const fs::path& work) {
    // Tiny movies: a few frames of a small picture keep the inputs short.
    const std::pair<const char*, const char*> movies[] = {
        {"plain.mov", "-f lavfi -i testsrc=size=32x24:rate=5:duration=0.6 -c:v mjpeg -q:v 20"},
        {"faststart.mp4", "-f lavfi -i testsrc=size=32x24:rate=5:duration=0.6 -c:v mpeg4 -q:v 20 -movflags +faststart"},
        {"sound.mov", "-f lavfi -i testsrc=size=16x16:rate=5:duration=0.4 -f lavfi -i sine=duration=0.4:sample_rate=8000 "
                      "-c:v mjpeg -q:v 25 -c:a pcm_s16be -shortest"},
    };
    for (const auto& [name, args] : movies) {
        const fs::path path = work / name;
        if (!Run("ffmpeg -y -v error " + std::string(args) + " '" + path.string() + "'")) {
            std::fprintf(stderr, "make_fuzz_seeds: ffmpeg could not make %s; movie seeds skipped\n", name);
            return;
        }
        Save("movie_atoms", name, ReadFile(path));
        MovieUserData::Write(path.string(), OneSegmentRecord());
        Save("movie_atoms", std::string("stored-") + name, ReadFile(path));
        MovieUserData::Write(path.string(), FullRecord());  // larger: appended
        Save("movie_atoms", std::string("stored-twice-") + name, ReadFile(path));
    }
}

void ImageSeeds(const fs::path& work) {
    const std::pair<const char*, const char*> pictures[] = {
        {"small.png", "-f lavfi -i testsrc=size=8x6 -frames:v 1"},
        {"alpha.png", "-f lavfi -i color=red@0.5:size=5x4,format=rgba -frames:v 1"},
        {"small.bmp", "-f lavfi -i testsrc=size=8x6 -frames:v 1"},
        {"small.gif", "-f lavfi -i testsrc=size=8x6 -frames:v 1"},
        {"small.jpg", "-f lavfi -i testsrc=size=16x8 -frames:v 1 -q:v 20"},
        {"small.tif", "-f lavfi -i testsrc=size=4x4 -frames:v 1"},
    };
    for (const auto& [name, args] : pictures) {
        const fs::path path = work / name;
        if (Run("ffmpeg -y -v error " + std::string(args) + " '" + path.string() + "'"))
            Save("image", name, ReadFile(path));
    }
}

// Drag records as the catalogs and thumbnails put them on the drag: the
// 272-byte record (zero prefix) and the bare 262-byte reference.
void DragRecordSeeds() {
    const char* paths[] = {"/home/someone/Presets/Blur.QTfx", "/tmp/x", "/a b/c.d.e/", ""};
    int n = 0;
    for (const char* path : paths) {
        FSSpec spec;
        FSSpec::FromPath(path, spec);
        Handle record(10);
        record.Append(&spec, sizeof spec);
        Save("drag_record", "record-" + std::to_string(++n), record);
        Save("drag_record", "reference-" + std::to_string(n), Handle(&spec, sizeof spec));
    }
}

void DropletSeeds(const fs::path& work) {
    const fs::path droplet = work / "seed.droplet";
    const Handle records[] = {OneSegmentRecord(), FullRecord()};
    int n = 0;
    for (const Handle& record : records) {
        if (!WriteDropletFile(droplet.string(), record))
            std::fprintf(stderr, "make_fuzz_seeds: no droplet written\n");
        Save("movie_atoms", "droplet-" + std::to_string(++n), ReadFile(droplet));
    }
    Save("movie_atoms", "record", FullRecord());
    Handle tiny = EmptyRecord();
    const uint8_t length[4] = {uint8_t(tiny.Size()), 0, 0, 0};
    tiny.Append(length, 4);
    Save("movie_atoms", "record-with-trailer", tiny);
}

void IniSeeds() {
    const std::string handover =
        "[FileSection]\nFilename0=/home/someone/Movies/clip one.mov\nFilename1= /tmp/x \"y\".mp4 \n";
    Save("ini", "handover", Handle(handover.data(), handover.size()));
    const std::string mixed =
        "; comment\r\n[Other]\r\nFilename0=no\r\n[ filesection ]\r\n  FILENAME0 =  a=b  \r\nFilename2=c\r\n"
        "[FileSection]\nFilename0=second\n";
    Save("ini", "mixed", Handle(mixed.data(), mixed.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds OUTDIR\n");
        return 2;
    }
    gOut = argv[1];
    const fs::path work = gOut / ".work";
    fs::create_directories(work);
    Save("settings_record", "empty", EmptyRecord());
    Save("settings_record", "full", FullRecord());
    Save("settings_record", "one-segment", OneSegmentRecord());
    PresetSeeds();
    MovieSeeds(work);
    DropletSeeds(work);
    IniSeeds();
    ImageSeeds(work);
    DragRecordSeeds();
    fs::remove_all(work);
    return 0;
}
