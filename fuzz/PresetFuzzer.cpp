// Atom containers and what is read from them: a container that parses must
// write back to one that parses to the same tree and the same bytes; video
// and sound codec settings, effect descriptions with their parameters (run
// once over a small frame, so hostile values reach the filter graph), and
// the segment span atom.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "model/DescriptionTime.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/VideoSettings.h"

namespace {

size_t CountAtoms(const QTAtomNode& node) {
    size_t n = 1;
    for (const auto& c : node.children) n += CountAtoms(c);
    return n;
}

void CheckContainer(const Handle& input, const AtomContainer& parsed) {
    // Every atom takes at least its 20-byte header.
    FUZZ_CHECK(CountAtoms(parsed.Root()) * 20 + 12 <= input.Size());
    const Handle written = parsed.ToHandle();
    FUZZ_CHECK(written.Size() <= input.Size());
    const AtomContainer reparsed = AtomContainer::Parse(written);
    FUZZ_CHECK(reparsed.Root().SameAs(parsed.Root()));
    FUZZ_CHECK(reparsed.ToHandle() == written);
    FUZZ_CHECK(DescriptionsEqual(nullptr, input, written));

    // Lookups by index and id on whatever the file holds.
    const QTAtomNode& root = parsed.Root();
    for (const auto& child : root.children) {
        FUZZ_CHECK(root.FindChild(child.type, 1) != nullptr);
        FUZZ_CHECK(root.FindChild(child.type, root.CountChildren(child.type) + 1) == nullptr);
        FUZZ_CHECK(root.FindChildByID(child.type, child.id) != nullptr);
        try {
            (void)child.U32();
            (void)child.U16(child.data.size() - 1);
        } catch (const LException& e) {
            FUZZ_CHECK(e.Code() == kInvalidAtomContainerErr);
        }
    }
    AtomContainer edited = parsed;
    if (!root.children.empty()) {
        FUZZ_CHECK(edited.Remove(root.children.front().type));
        AtomContainer::Parse(edited.ToHandle());
    }
}

}  // namespace

FUZZ_STARTS_MEDIA_LAYER

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Handle preset(data, size);
    AtomContainer container;
    std::string why;
    const bool isContainer = AtomContainer::TryParse(preset, container, &why);
    if (isContainer) CheckContainer(preset, container);
    else FUZZ_CHECK(!why.empty() && DescriptionsEqual(nullptr, preset, preset));

    try {
        const VideoSettings video = VideoSettings::FromHandle(preset);
        // What was read writes back and reads the same.
        const VideoSettings again = VideoSettings::FromHandle(video.ToHandle());
        FUZZ_CHECK(again.codecType == video.codecType);
        FUZZ_CHECK(again.spatialQuality == video.spatialQuality);
        FUZZ_CHECK(again.dataRate == video.dataRate);
        FUZZ_CHECK(again.keyFrameRate == video.keyFrameRate);
    } catch (const LException& e) {
        FUZZ_CHECK(e.Code() == kInvalidAtomContainerErr && !isContainer && size > 0);
    }
    try {
        const SoundSettings sound = SoundSettings::FromHandle(preset);
        const SoundSettings again = SoundSettings::FromHandle(sound.ToHandle());
        FUZZ_CHECK(again.compressionType == sound.compressionType);
        FUZZ_CHECK(again.sampleRate == sound.sampleRate);
    } catch (const LException& e) {
        FUZZ_CHECK(e.Code() == kInvalidAtomContainerErr && !isContainer && size > 0);
    }

    const int sources = CountEffectSources(preset);
    FUZZ_CHECK(sources >= 0 && sources <= 2);
    (void)GetEffectName(preset);
    const Handle cleaned = CleanEffectDescription(preset);
    AtomContainer cleanedContainer;
    if (isContainer) FUZZ_CHECK(AtomContainer::TryParse(cleaned, cleanedContainer));
    else FUZZ_CHECK(cleaned == preset);

    STimeValue start, end;
    GetDescriptionTime(&preset, start, end);
    Handle timed = preset;
    const STimeValue from{int32_t(size), 600}, to{int32_t(size) * 7 + 1, 600};
    // Only the first span atom is replaced; a second one then comes first
    // (the documented behaviour), so the read-back holds with at most one.
    const bool oneSpan = !isContainer || container.Count(kDescriptionTimeAtom) <= 1;
    if (SetDescriptionTime(&timed, from, to) && oneSpan) {
        GetDescriptionTime(&timed, start, end);
        FUZZ_CHECK(start.value == from.value && start.scale == from.scale);
        FUZZ_CHECK(end.value == to.value && end.scale == to.scale);
    }

    if (isContainer && sources > 0) {
        OffscreenWorld frame(16, 12);
        Handle filter = preset;
        (void)ApplyFilter(frame, filter);
        FUZZ_CHECK(frame.Width() == 16 && frame.Height() == 12);
    }
    return 0;
}
