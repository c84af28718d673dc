// The atom container parser. A container that parses must write back to a
// container that parses to the same tree and the same bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "platform/media/AtomContainer.h"

namespace {

size_t CountAtoms(const QTAtomNode& node) {
    size_t n = 1;
    for (const auto& c : node.children) n += CountAtoms(c);
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Handle input(data, size);
    AtomContainer parsed;
    std::string why;
    if (!AtomContainer::TryParse(input, parsed, &why)) {
        FUZZ_CHECK(!why.empty());
        FUZZ_CHECK(DescriptionsEqual(nullptr, input, input));
        return 0;
    }
    // Every atom takes at least its 20-byte header.
    FUZZ_CHECK(CountAtoms(parsed.Root()) * 20 + 12 <= size);

    const Handle written = parsed.ToHandle();
    FUZZ_CHECK(written.Size() <= size);
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
    if (!edited.Root().children.empty()) {
        const OSType first = edited.Root().children.front().type;
        FUZZ_CHECK(edited.Remove(first));
        AtomContainer::Parse(edited.ToHandle());
    }
    return 0;
}
