#include "catalogs/SettingsPatch.h"

#include <initializer_list>

#include "platform/media/AtomContainer.h"

namespace {

constexpr OSType kVideo = FourCC("vide");
constexpr OSType kSpatial = FourCC("sptl");
constexpr OSType kTemporal = FourCC("tprl");
constexpr OSType kDataRate = FourCC("drat");
constexpr OSType kOptions = FourCC("xopt");
constexpr OSType kSound = FourCC("soun");
constexpr OSType kSoundType = FourCC("ssct");
constexpr OSType kChannels = FourCC("sscc");
constexpr OSType kSampleSize = FourCC("ssss");
constexpr OSType kSampleRate = FourCC("ssrt");
constexpr OSType kCodecSettings = FourCC("CSTa");

// A parent atom of that type, made when missing; `made` tells which. A
// leaf in its place cannot hold children and is replaced.
QTAtomNode& ParentAtom(QTAtomNode& parent, OSType type, bool& made) {
    made = false;
    QTAtomNode* found = parent.FindChild(type);
    if (found != nullptr && !found->leaf) return *found;
    if (found != nullptr) parent.RemoveChild(type);
    made = true;
    return parent.InsertParent(type, 1);
}

// One field of a leaf's fixed layout: 16 or 32 bits at an offset.
struct Field {
    size_t offset;
    int bits;
    uint32_t before;
    uint32_t after;
};

// Writes the fields whose values changed. A missing leaf (or a parent
// sitting where the leaf belongs) is made with every field when anything
// changed or when `always` asks for it.
void PatchLeaf(QTAtomNode& parent, OSType type, std::initializer_list<Field> fields, bool always) {
    bool changed = false;
    for (const Field& f : fields) changed |= f.before != f.after;
    QTAtomNode* atom = parent.FindChild(type);
    const bool existed = atom != nullptr && atom->leaf;
    if (!changed && (existed || !always)) return;
    if (!existed) {
        if (atom != nullptr) parent.RemoveChild(type);
        atom = &parent.InsertChild(type, 1, nullptr, 0);
    }
    for (const Field& f : fields) {
        if (existed && f.before == f.after) continue;
        if (f.bits == 16)
            atom->SetU16(f.offset, uint16_t(f.after));
        else
            atom->SetU32(f.offset, f.after);
    }
}

void PatchOptions(QTAtomNode& parent, OSType type, const EncoderOptions& before, const EncoderOptions& after) {
    if (before == after) return;
    QTAtomNode* atom = parent.FindChild(type);
    if (after.empty() || (atom != nullptr && !atom->leaf)) {
        while (parent.RemoveChild(type)) {
        }
        atom = nullptr;
    }
    if (after.empty()) return;
    const std::string text = FormatEncoderOptions(after);
    if (atom != nullptr)
        atom->data.assign(text.begin(), text.end());  // in its place, so the atom order stays
    else
        parent.InsertChildText(type, 1, text);
}

}  // namespace

void PatchVideoSettings(AtomContainer& container, const VideoSettings& before, const VideoSettings& after) {
    bool made = false;
    QTAtomNode& video = ParentAtom(container.Root(), kVideo, made);
    // Every video setting has its spatial and temporal atoms.
    PatchLeaf(video, kSpatial,
              {{0, 32, before.codecType, after.codecType},
               {4, 32, before.codecComponent, after.codecComponent},
               {8, 16, uint16_t(before.depth), uint16_t(after.depth)},
               {10, 32, uint32_t(before.spatialQuality), uint32_t(after.spatialQuality)}},
              true);
    PatchLeaf(video, kTemporal,
              {{0, 32, uint32_t(before.temporalQuality), uint32_t(after.temporalQuality)},
               {4, 32, before.frameRate, after.frameRate},
               {8, 32, uint32_t(before.keyFrameRate), uint32_t(after.keyFrameRate)}},
              true);
    PatchLeaf(video, kDataRate,
              {{0, 32, before.dataRate, after.dataRate},
               {4, 32, before.frameDuration, after.frameDuration},
               {8, 32, uint32_t(before.minSpatialQuality), uint32_t(after.minSpatialQuality)},
               {12, 32, uint32_t(before.minTemporalQuality), uint32_t(after.minTemporalQuality)}},
              false);
    PatchOptions(video, kOptions, before.options, after.options);
}

void PatchSoundSettings(AtomContainer& container, const SoundSettings& before, const SoundSettings& after) {
    bool made = false;
    QTAtomNode& sound = ParentAtom(container.Root(), kSound, made);
    PatchLeaf(sound, kSoundType, {{0, 32, before.compressionType, after.compressionType}}, true);
    PatchLeaf(sound, kChannels, {{0, 16, uint16_t(before.channels), uint16_t(after.channels)}}, made);
    PatchLeaf(sound, kSampleSize, {{0, 16, uint16_t(before.sampleSize), uint16_t(after.sampleSize)}}, made);
    PatchLeaf(sound, kSampleRate, {{0, 32, before.sampleRate, after.sampleRate}}, made);
    PatchOptions(container.Root(), kCodecSettings, before.options, after.options);
}
