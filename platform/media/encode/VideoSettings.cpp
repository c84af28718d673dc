#include "platform/media/encode/VideoSettings.h"

#include "platform/media/AtomContainer.h"

namespace {

constexpr OSType kVideo = FourCC("vide");
constexpr OSType kSpatial = FourCC("sptl");
constexpr OSType kTemporal = FourCC("tprl");
constexpr OSType kDataRate = FourCC("drat");
constexpr OSType kOptions = FourCC("xopt");

// Reads the field when the atom is long enough, else keeps the default.
template <typename T>
void ReadU32(const QTAtomNode& atom, size_t offset, T& field) {
    if (atom.leaf && atom.data.size() >= offset + 4) field = T(atom.U32(offset));
}
template <typename T>
void ReadU16(const QTAtomNode& atom, size_t offset, T& field) {
    if (atom.leaf && atom.data.size() >= offset + 2) field = T(atom.U16(offset));
}

}  // namespace

VideoSettings VideoSettings::FromHandle(const Handle& settings) {
    if (settings.IsNull() || settings.Size() == 0) return {};
    return FromContainer(AtomContainer::Parse(settings));
}

VideoSettings VideoSettings::ReadOrDefaults(const Handle* settings) {
    try {
        if (settings) return FromHandle(*settings);
    } catch (const LException&) {
    }
    return {};
}

VideoSettings VideoSettings::FromContainer(const AtomContainer& container) {
    VideoSettings s;
    const QTAtomNode* video = container.Find(kVideo);
    if (!video || video->leaf) return s;
    if (const QTAtomNode* spatial = video->FindChild(kSpatial)) {
        s.hasSpatial = true;
        ReadU32(*spatial, 0, s.codecType);
        ReadU32(*spatial, 4, s.codecComponent);
        ReadU16(*spatial, 8, s.depth);
        ReadU32(*spatial, 10, s.spatialQuality);
    }
    if (const QTAtomNode* temporal = video->FindChild(kTemporal)) {
        s.hasTemporal = true;
        ReadU32(*temporal, 0, s.temporalQuality);
        ReadU32(*temporal, 4, s.frameRate);
        ReadU32(*temporal, 8, s.keyFrameRate);
    }
    if (const QTAtomNode* rate = video->FindChild(kDataRate)) {
        ReadU32(*rate, 0, s.dataRate);
        ReadU32(*rate, 4, s.frameDuration);
        ReadU32(*rate, 8, s.minSpatialQuality);
        ReadU32(*rate, 12, s.minTemporalQuality);
    }
    if (const QTAtomNode* options = video->FindChild(kOptions); options && options->leaf)
        s.options = ParseEncoderOptions(options->Text());
    if (s.keyFrameRate < 0) s.keyFrameRate = 0;
    return s;
}

void VideoSettings::WriteTo(AtomContainer& container) const {
    while (container.Remove(kVideo)) {
    }
    QTAtomNode& video = container.InsertParent(kVideo, 1);
    QTAtomNode& spatial = video.InsertChild(kSpatial, 1, nullptr, 0);
    spatial.SetU32(0, codecType);
    spatial.SetU32(4, codecComponent);
    spatial.SetU16(8, uint16_t(depth));
    spatial.SetU32(10, uint32_t(spatialQuality));
    QTAtomNode& temporal = video.InsertChild(kTemporal, 1, nullptr, 0);
    temporal.SetU32(0, uint32_t(temporalQuality));
    temporal.SetU32(4, frameRate);
    temporal.SetU32(8, uint32_t(keyFrameRate));
    if (dataRate || frameDuration || minSpatialQuality || minTemporalQuality) {
        QTAtomNode& rate = video.InsertChild(kDataRate, 1, nullptr, 0);
        rate.SetU32(0, dataRate);
        rate.SetU32(4, frameDuration);
        rate.SetU32(8, uint32_t(minSpatialQuality));
        rate.SetU32(12, uint32_t(minTemporalQuality));
    }
    if (!options.empty()) video.InsertChildText(kOptions, 1, FormatEncoderOptions(options));
}

Handle VideoSettings::ToHandle() const {
    AtomContainer container;
    WriteTo(container);
    return container.ToHandle();
}

Handle MakeVideoSettings(OSType codecType, int32_t spatialQuality, int32_t keyFrameRate, uint32_t dataRate,
                         uint32_t frameRate, const EncoderOptions& options) {
    VideoSettings s;
    s.codecType = codecType;
    s.spatialQuality = spatialQuality;
    s.keyFrameRate = keyFrameRate;
    s.dataRate = dataRate;
    s.frameRate = frameRate;
    s.options = options;
    return s.ToHandle();
}

Handle DefaultVideoSettings() { return MakeVideoSettings(FourCC("avc1"), 0x200); }
