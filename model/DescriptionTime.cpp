#include "model/DescriptionTime.h"

#include <cstring>

#include "platform/media/AtomContainer.h"

namespace {

constexpr size_t kContainerHeader = 12;
constexpr size_t kAtomHeader = 20;
constexpr size_t kTimeBytes = 16;

uint32_t ReadBE32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
uint16_t ReadBE16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }

// Timeline code reads spans constantly, so this walks the root's children
// in place instead of parsing the whole container. Null when there is no
// reachable 'Etim' data.
const uint8_t* FindTimeData(const Handle& h) {
    if (h.IsNull() || h.Size() < kContainerHeader + kAtomHeader) return nullptr;
    const uint8_t* root = h.Data() + kContainerHeader;
    const size_t available = h.Size() - kContainerHeader;
    const uint32_t rootSize = ReadBE32(root);
    if (rootSize < kAtomHeader || rootSize > available) return nullptr;
    const uint16_t childCount = ReadBE16(root + 14);
    size_t offset = kAtomHeader;
    for (uint32_t i = 0; i < childCount; ++i) {
        if (rootSize - offset < kAtomHeader) return nullptr;
        const uint8_t* atom = root + offset;
        const uint32_t size = ReadBE32(atom);
        if (size < kAtomHeader || size > rootSize - offset) return nullptr;
        if (ReadBE32(atom + 4) == kDescriptionTimeAtom) {
            // The first one decides, even when it is too short to use.
            const bool isLeaf = ReadBE16(atom + 14) == 0;
            return isLeaf && size - kAtomHeader >= kTimeBytes ? atom + kAtomHeader : nullptr;
        }
        offset += size;
    }
    return nullptr;
}

}  // namespace

void GetDescriptionTime(const Handle* description, STimeValue& start, STimeValue& end) {
    const uint8_t* data = description ? FindTimeData(*description) : nullptr;
    if (data == nullptr) {
        start = STimeValue{0, 1};
        end = STimeValue{0, 1};
        return;
    }
    int32_t values[4];
    std::memcpy(values, data, sizeof values);
    start = STimeValue{values[0], values[1]};
    end = STimeValue{values[2], values[3]};
}

bool SetDescriptionTime(Handle* description, const STimeValue& start, const STimeValue& end) {
    if (description == nullptr || description->IsNull()) return false;
    AtomContainer container;
    if (description->Size() != 0 && !AtomContainer::TryParse(*description, container)) return false;
    container.Remove(kDescriptionTimeAtom);
    const int32_t values[4] = {start.value, start.scale, end.value, end.scale};
    container.Insert(kDescriptionTimeAtom, 0, values, sizeof values);
    *description = container.ToHandle();
    return true;
}
