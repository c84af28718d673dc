#include "platform/media/source/AtomWalker.h"

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A file of a million atoms at one level is not a movie; stop there.
constexpr size_t kMaxAtomsPerLevel = 1'000'000;
}  // namespace

bool MemoryAtomSource::ReadAt(uint64_t offset, void* buffer, size_t length) const {
    if (offset > mSize || length > mSize - offset) return false;
    std::memcpy(buffer, mData + offset, length);
    return true;
}

FileAtomSource::FileAtomSource(int fd) : mFd(fd), mSize(0) {
    struct stat st {};
    if (fstat(fd, &st) == 0 && st.st_size > 0) mSize = uint64_t(st.st_size);
}

bool FileAtomSource::ReadAt(uint64_t offset, void* buffer, size_t length) const {
    if (offset > mSize || length > mSize - offset) return false;
    auto* p = static_cast<uint8_t*>(buffer);
    while (length > 0) {
        ssize_t n = pread(mFd, p, length, off_t(offset));
        if (n <= 0) return false;
        p += n;
        offset += uint64_t(n);
        length -= size_t(n);
    }
    return true;
}

AtomList ListAtoms(const AtomSource& source, uint64_t begin, uint64_t end, bool topLevel) {
    AtomList list;
    if (end > source.Size()) end = source.Size();
    uint64_t pos = begin;
    while (pos < end && end - pos >= 8 && list.atoms.size() < kMaxAtomsPerLevel) {
        uint8_t header[16];
        if (!source.ReadAt(pos, header, 8)) break;
        AtomSpan atom;
        atom.offset = pos;
        atom.type = ReadBE32(header + 4);
        uint64_t size = ReadBE32(header);
        uint64_t room = end - pos;
        if (size == 1) {
            if (room < 16 || !source.ReadAt(pos + 8, header + 8, 8)) {
                list.malformed = true;
                break;
            }
            atom.headerSize = 16;
            size = ReadBE64(header + 8);
            if (size < 16) {
                list.malformed = true;
                break;
            }
        } else if (size == 0) {
            if (!topLevel) break;  // end of the list (a zero terminator)
            atom.openEnded = true;
            size = room;
        } else if (size < 8) {
            list.malformed = true;
            break;
        }
        if (size > room) {
            atom.truncated = true;
            size = room;
        }
        atom.size = size;
        list.atoms.push_back(atom);
        pos += size;
    }
    list.trailerOffset = pos;
    return list;
}

const AtomSpan* FindAtom(const AtomList& list, OSType type) {
    for (const auto& a : list.atoms)
        if (a.type == type) return &a;
    return nullptr;
}
