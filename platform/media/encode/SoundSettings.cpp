#include "platform/media/encode/SoundSettings.h"

#include "platform/media/AtomContainer.h"

namespace {

constexpr OSType kSound = FourCC("soun");
constexpr OSType kType = FourCC("ssct");
constexpr OSType kChannels = FourCC("sscc");
constexpr OSType kSampleSize = FourCC("ssss");
constexpr OSType kSampleRate = FourCC("ssrt");
constexpr OSType kCodecSettings = FourCC("CSTa");

}  // namespace

SoundSettings SoundSettings::FromHandle(const Handle& settings) {
    if (settings.IsNull() || settings.Size() == 0) return {};
    return FromContainer(AtomContainer::Parse(settings));
}

SoundSettings SoundSettings::FromContainer(const AtomContainer& container) {
    SoundSettings s;
    if (const QTAtomNode* sound = container.Find(kSound); sound && !sound->leaf) {
        auto leaf = [&](OSType type, size_t size) -> const QTAtomNode* {
            const QTAtomNode* a = sound->FindChild(type);
            return a && a->leaf && a->data.size() >= size ? a : nullptr;
        };
        if (auto* a = leaf(kType, 4)) s.compressionType = a->U32();
        if (auto* a = leaf(kChannels, 2)) s.channels = int16_t(a->U16());
        if (auto* a = leaf(kSampleSize, 2)) s.sampleSize = int16_t(a->U16());
        if (auto* a = leaf(kSampleRate, 4)) s.sampleRate = a->U32();
    }
    if (s.channels < 0) s.channels = 0;
    if (s.sampleSize < 0) s.sampleSize = 0;
    if (const QTAtomNode* codec = container.Find(kCodecSettings); codec && codec->leaf)
        s.options = ParseEncoderOptions(codec->Text());
    return s;
}

void SoundSettings::WriteTo(AtomContainer& container) const {
    while (container.Remove(kSound)) {
    }
    while (container.Remove(kCodecSettings)) {
    }
    QTAtomNode& sound = container.InsertParent(kSound, 1);
    sound.InsertChildU32(kType, 1, compressionType);
    sound.InsertChild(kChannels, 1, nullptr, 0).SetU16(0, uint16_t(channels));
    sound.InsertChild(kSampleSize, 1, nullptr, 0).SetU16(0, uint16_t(sampleSize));
    sound.InsertChildU32(kSampleRate, 1, sampleRate);
    if (!options.empty()) container.Root().InsertChildText(kCodecSettings, 1, FormatEncoderOptions(options));
}

Handle SoundSettings::ToHandle() const {
    AtomContainer container;
    WriteTo(container);
    return container.ToHandle();
}

Handle MakeSoundSettings(OSType compressionType, int channels, int sampleSizeBits, int sampleRateHz,
                         const EncoderOptions& options) {
    SoundSettings s;
    s.compressionType = compressionType;
    s.channels = int16_t(channels);
    s.sampleSize = int16_t(sampleSizeBits);
    s.sampleRate = uint32_t(sampleRateHz) << 16;
    s.options = options;
    return s.ToHandle();
}

Handle DefaultSoundSettings() { return MakeSoundSettings(FourCC("aac "), 0, 16, 0, {{"bitrate", "128000"}}); }
