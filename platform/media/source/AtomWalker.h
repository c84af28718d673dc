// Walking the atoms of a QuickTime/ISO file without trusting it: sizes
// that lie, 64-bit sizes, size 0 ("to the end"), truncation. Every atom
// advances the walk by at least its 8-byte header, so a walk always ends,
// and nothing is allocated from a size field alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/FourCharCode.h"

struct AtomSpan {
    OSType type = 0;
    uint64_t offset = 0;      // of the header
    uint32_t headerSize = 8;  // 8, or 16 with a 64-bit size
    uint64_t size = 0;        // header included; clipped to what is present when truncated
    bool openEnded = false;   // stored size 0: runs to the end of its container
    bool truncated = false;   // stored size runs past the end of its container
    uint64_t End() const { return offset + size; }
};

// Reads bytes at an absolute position; false when they are not all there.
class AtomSource {
public:
    virtual ~AtomSource() = default;
    virtual uint64_t Size() const = 0;
    virtual bool ReadAt(uint64_t offset, void* buffer, size_t length) const = 0;
};

class MemoryAtomSource : public AtomSource {
public:
    MemoryAtomSource(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    uint64_t Size() const override { return mSize; }
    bool ReadAt(uint64_t offset, void* buffer, size_t length) const override;

private:
    const uint8_t* mData;
    size_t mSize;
};

class FileAtomSource : public AtomSource {
public:
    explicit FileAtomSource(int fd);
    uint64_t Size() const override { return mSize; }
    bool ReadAt(uint64_t offset, void* buffer, size_t length) const override;

private:
    int mFd;
    uint64_t mSize;
};

struct AtomList {
    std::vector<AtomSpan> atoms;
    // Bytes after the last whole atom that do not make one (a 32-bit zero
    // terminator, junk): [trailerOffset, end).
    uint64_t trailerOffset = 0;
    bool malformed = false;  // a header claimed fewer bytes than itself
};

// The atoms in [begin, end) of `source`. `topLevel` allows size 0 as "to
// the end"; inside an atom a zero size ends the list.
AtomList ListAtoms(const AtomSource& source, uint64_t begin, uint64_t end, bool topLevel);

// The first atom of `type` in a list, or nullptr.
const AtomSpan* FindAtom(const AtomList& list, OSType type);

// Big-endian helpers.
inline uint32_t ReadBE32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
inline uint64_t ReadBE64(const uint8_t* p) { return (uint64_t(ReadBE32(p)) << 32) | ReadBE32(p + 4); }
inline void WriteBE32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24); p[1] = uint8_t(v >> 16); p[2] = uint8_t(v >> 8); p[3] = uint8_t(v);
}
