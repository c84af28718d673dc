// The presets the program ships: copied in on the first start only, every
// one readable, and every codec preset accepted by its encoder.
#include <set>

#include "CatalogTestSupport.h"
#include "catalogs/CatalogSetup.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/effects/EffectTable.h"
#include "platform/media/encode/SoundEncoder.h"
#include "platform/media/encode/SoundTypeTable.h"
#include "platform/media/encode/VideoCodecTable.h"
#include "platform/media/encode/VideoEncoder.h"

using namespace cattest;

namespace {

std::set<std::string> FilesIn(const fs::path& folder, const std::string& extension) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == extension) names.insert(entry.path().stem().string());
    return names;
}

class DefaultPresets : public CatalogTest {};

}  // namespace

TEST_F(DefaultPresets, AreCopiedInOnTheFirstStartOnlyAndEachCodecPresetOpensItsEncoder) {
    const std::vector<std::string> written = InstallDefaultPresets();
    EXPECT_GE(written.size(), 24u);

    // One filter per single-source effect; transitions beside the codecs.
    std::set<OSType> filterTypes, transitionTypes;
    for (const auto& entry : fs::directory_iterator(FilterFolder()))
        filterTypes.insert(AtomContainer::Parse(ReadFile(entry.path())).Find(FourCC("what"))->U32());
    for (const std::string& name : FilesIn(CodecFolder(), ".QTfx"))
        transitionTypes.insert(AtomContainer::Parse(ReadFile(CodecFolder() / (name + ".QTfx"))).Find(FourCC("what"))->U32());
    for (const EffectType& effect : effects::AllEffectTypes()) {
        if (effect.sources == 1) {
            EXPECT_TRUE(filterTypes.count(effect.type)) << effect.name;
        } else if (effect.sources == 2) {
            EXPECT_TRUE(transitionTypes.count(effect.type)) << effect.name;
        }
    }

    // Every codec preset opens its encoder.
    for (const auto& entry : fs::directory_iterator(CodecFolder())) {
        const Handle preset = ReadFile(entry.path());
        if (entry.path().extension() == ".QTcd") {
            const VideoSettings settings = VideoSettings::FromHandle(preset);
            const VideoCodecInfo* codec = VideoCodecTable::Find(settings.codecType);
            EXPECT_NE(codec, nullptr) << entry.path();
            if (codec == nullptr || !codec->IsAvailable()) continue;
            VideoEncoder encoder;
            EXPECT_NO_THROW(encoder.Open(settings, 320, 240)) << entry.path();
        } else if (entry.path().extension() == ".QTac") {
            const SoundSettings settings = SoundSettings::FromHandle(preset);
            const SoundTypeInfo* type = SoundTypeTable::Find(settings.compressionType);
            EXPECT_NE(type, nullptr) << entry.path();
            if (type == nullptr || !type->IsAvailable()) continue;
            SoundEncoder encoder;
            EXPECT_NO_THROW(encoder.Open(settings, PcmFormat{48000, 2})) << entry.path();
        }
    }

    // The user's folder is the user's: a second start copies nothing, not
    // even what the user deleted.
    fs::remove(CodecFolder() / "HEVC.QTcd");
    EXPECT_TRUE(InstallDefaultPresets().empty());
    EXPECT_FALSE(fs::exists(CodecFolder() / "HEVC.QTcd"));
}
