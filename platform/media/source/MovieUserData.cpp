#include "platform/media/source/MovieUserData.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/media/source/AtomWalker.h"
#include "platform/media/source/SourceErrors.h"

namespace {

constexpr OSType kMoov = FourCC("moov");
constexpr OSType kUdta = FourCC("udta");
constexpr OSType kFree = FourCC("free");
constexpr OSType kSkip = FourCC("skip");
constexpr OSType kMvhd = FourCC("mvhd");
constexpr OSType kCmov = FourCC("cmov");
// A movie resource this large is not one this program wrote or can edit.
constexpr uint64_t kMaxMoovSize = 256ull << 20;

bool IsFreeSpace(const AtomSpan& atom) { return (atom.type == kFree || atom.type == kSkip) && !atom.openEnded; }

class FileDescriptor {
public:
    FileDescriptor(const std::string& path, int flags) : mFd(::open(path.c_str(), flags | O_CLOEXEC)) {}
    ~FileDescriptor() {
        if (mFd >= 0) ::close(mFd);
    }
    FileDescriptor(FileDescriptor&& other) noexcept : mFd(other.mFd) { other.mFd = -1; }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return mFd; }

private:
    int mFd;
};

[[noreturn]] void ThrowOpenError(const std::string& path) {
    if (errno == ENOENT) throw LException(fnfErr, "The file \"" + path + "\" does not exist.");
    throw LException(ioErr, "The file \"" + path + "\" cannot be opened: " + std::strerror(errno));
}

FileDescriptor OpenForReading(const std::string& path) {
    FileDescriptor fd(path, O_RDONLY);
    if (fd.Get() < 0) ThrowOpenError(path);
    return fd;
}

// The first moov of the file and the top-level list it sits in.
struct MoovLocation {
    AtomList topLevel;
    size_t index = 0;  // of the moov in topLevel.atoms
    const AtomSpan& Moov() const { return topLevel.atoms[index]; }
};

MoovLocation FindMoov(const AtomSource& file, const std::string& path) {
    MoovLocation where;
    where.topLevel = ListAtoms(file, 0, file.Size(), true);
    for (size_t i = 0; i < where.topLevel.atoms.size(); ++i) {
        if (where.topLevel.atoms[i].type == kMoov) {
            where.index = i;
            if (where.Moov().truncated)
                throw LException(kInvalidMovieErr, "The movie resource of \"" + path + "\" is truncated.");
            if (where.Moov().size > kMaxMoovSize)
                throw LException(kInvalidMovieErr, "The movie resource of \"" + path + "\" is too large.");
            return where;
        }
    }
    throw LException(kNoMovieFoundErr, "\"" + path + "\" is not a QuickTime or MPEG-4 movie file.");
}

std::vector<uint8_t> ReadAtomBytes(const AtomSource& file, const AtomSpan& atom) {
    std::vector<uint8_t> bytes(atom.size);  // bounded: the atom is present and small
    if (!file.ReadAt(atom.offset, bytes.data(), bytes.size()))
        throw LException(ioErr, "The movie file cannot be read.");
    return bytes;
}

void AppendHeader(std::vector<uint8_t>& out, OSType type, uint64_t size) {
    uint8_t h[16];
    if (size <= 0xFFFFFFFFull) {
        WriteBE32(h, uint32_t(size));
        WriteBE32(h + 4, type);
        out.insert(out.end(), h, h + 8);
    } else {
        WriteBE32(h, 1);
        WriteBE32(h + 4, type);
        WriteBE32(h + 8, uint32_t(size >> 32));
        WriteBE32(h + 12, uint32_t(size));
        out.insert(out.end(), h, h + 16);
    }
}

// An atom from its type and body.
void AppendAtom(std::vector<uint8_t>& out, OSType type, const uint8_t* body, size_t length) {
    uint64_t size = length + 8;
    AppendHeader(out, type, size + (size > 0xFFFFFFFFull ? 8 : 0));
    out.insert(out.end(), body, body + length);
}

// The moov with item 1 of `type` in its udta replaced by `data` (added at
// the end of udta); every other byte of the moov kept as it was.
std::vector<uint8_t> RebuildMoov(const std::vector<uint8_t>& moov, uint32_t moovHeader, OSType type,
                                 const Handle& data) {
    MemoryAtomSource source(moov.data(), moov.size());
    AtomList children = ListAtoms(source, moovHeader, moov.size(), false);
    if (children.malformed || (!children.atoms.empty() && children.atoms.back().truncated))
        throw LException(kInvalidMovieErr, "The movie resource is damaged; its settings cannot be stored.");
    if (FindAtom(children, kCmov))
        throw LException(kInvalidMovieErr, "The movie resource is compressed; its settings cannot be stored.");

    auto newUdta = [&](const AtomSpan* udta) {
        std::vector<uint8_t> body;
        uint64_t trailerStart = 0, end = 0;
        if (udta) {
            AtomList items = ListAtoms(source, udta->offset + udta->headerSize, udta->End(), false);
            if (items.malformed || (!items.atoms.empty() && items.atoms.back().truncated))
                throw LException(kInvalidMovieErr, "The movie's user data is damaged; its settings cannot be stored.");
            bool removed = false;
            for (const auto& item : items.atoms) {
                if (item.type == type && !removed) {
                    removed = true;
                    continue;
                }
                body.insert(body.end(), moov.begin() + item.offset, moov.begin() + item.End());
            }
            trailerStart = items.trailerOffset;
            end = udta->End();
        }
        AppendAtom(body, type, data.Data(), data.Size());
        // A trailing 32-bit zero (the classic end marker) stays last.
        body.insert(body.end(), moov.begin() + trailerStart, moov.begin() + end);
        std::vector<uint8_t> atom;
        AppendAtom(atom, kUdta, body.data(), body.size());
        return atom;
    };

    std::vector<uint8_t> body;
    const AtomSpan* udta = FindAtom(children, kUdta);
    for (const auto& child : children.atoms) {
        if (&child == udta) {
            auto rebuilt = newUdta(udta);
            body.insert(body.end(), rebuilt.begin(), rebuilt.end());
        } else {
            body.insert(body.end(), moov.begin() + child.offset, moov.begin() + child.End());
        }
    }
    if (!udta) {
        auto made = newUdta(nullptr);
        body.insert(body.end(), made.begin(), made.end());
    }
    body.insert(body.end(), moov.begin() + children.trailerOffset, moov.end());
    std::vector<uint8_t> out;
    AppendAtom(out, kMoov, body.data(), body.size());
    return out;
}

// Carries out the writes of one update, giving the fault hook its say
// before each step.
class StepWriter {
public:
    StepWriter(int fd, const UserDataFaultHook& fault) : mFd(fd), mFault(fault) {}

    void Write(UserDataWriteStep step, uint64_t offset, const uint8_t* bytes, size_t length) {
        if (Fails(step)) {
            WriteAll(offset, bytes, length / 2);
            Crash(step);
        }
        WriteAll(offset, bytes, length);
    }
    void Sync(UserDataWriteStep step) {
        if (Fails(step)) Crash(step);
        if (::fsync(mFd) != 0) throw LException(ioErr, std::string("The movie file cannot be saved: ") + std::strerror(errno));
    }
    void Truncate(UserDataWriteStep step, uint64_t length) {
        if (Fails(step)) Crash(step);
        if (::ftruncate(mFd, off_t(length)) != 0)
            throw LException(ioErr, std::string("The movie file cannot be saved: ") + std::strerror(errno));
    }

private:
    bool Fails(UserDataWriteStep step) const { return mFault && mFault(step); }
    [[noreturn]] void Crash(UserDataWriteStep step) {
        throw LException(ioErr, "Simulated failure while saving the movie (step " + std::to_string(int(step)) + ").");
    }
    void WriteAll(uint64_t offset, const uint8_t* bytes, size_t length) {
        while (length > 0) {
            ssize_t n = ::pwrite(mFd, bytes, length, off_t(offset));
            if (n <= 0) {
                if (n < 0 && errno == EINTR) continue;
                throw LException(ioErr, std::string("The movie file cannot be written: ") + std::strerror(errno));
            }
            bytes += n;
            offset += uint64_t(n);
            length -= size_t(n);
        }
    }

    int mFd;
    const UserDataFaultHook& mFault;
};

void WriteType(StepWriter& writer, UserDataWriteStep step, const AtomSpan& atom, OSType type) {
    uint8_t t[4];
    WriteBE32(t, type);
    writer.Write(step, atom.offset + 4, t, 4);
}

}  // namespace

Handle MovieUserData::Read(const std::string& path, OSType type) {
    FileDescriptor fd = OpenForReading(path);
    FileAtomSource file(fd.Get());
    MoovLocation where = FindMoov(file, path);
    const AtomSpan& moov = where.Moov();
    AtomList children = ListAtoms(file, moov.offset + moov.headerSize, moov.End(), false);
    const AtomSpan* udta = FindAtom(children, kUdta);
    if (!udta) return Handle();
    AtomList items = ListAtoms(file, udta->offset + udta->headerSize, udta->End(), false);
    const AtomSpan* item = FindAtom(items, type);
    if (!item || item->truncated) return Handle();
    Handle result(size_t(item->size - item->headerSize));
    if (!file.ReadAt(item->offset + item->headerSize, result.Data(), result.Size()))
        throw LException(ioErr, "The movie file \"" + path + "\" cannot be read.");
    return result;
}

bool MovieUserData::ReadMovieHeader(const std::string& path, int32_t& timeScale, int64_t& duration) {
    try {
        FileDescriptor fd = OpenForReading(path);
        FileAtomSource file(fd.Get());
        MoovLocation where = FindMoov(file, path);
        const AtomSpan& moov = where.Moov();
        AtomList children = ListAtoms(file, moov.offset + moov.headerSize, moov.End(), false);
        const AtomSpan* mvhd = FindAtom(children, kMvhd);
        if (!mvhd || mvhd->size - mvhd->headerSize < 20) return false;
        uint8_t b[32] = {};
        size_t want = std::min<uint64_t>(32, mvhd->size - mvhd->headerSize);
        if (!file.ReadAt(mvhd->offset + mvhd->headerSize, b, want)) return false;
        if (b[0] == 1) {
            if (want < 32) return false;
            timeScale = int32_t(ReadBE32(b + 20));
            duration = int64_t(ReadBE64(b + 24));
        } else {
            timeScale = int32_t(ReadBE32(b + 12));
            uint32_t d = ReadBE32(b + 16);
            duration = d == 0xFFFFFFFFu ? -1 : int64_t(d);
        }
        return timeScale > 0;
    } catch (const LException&) {
        return false;
    }
}

void MovieUserData::Write(const std::string& path, const Handle& data, OSType type, const UserDataFaultHook& fault) {
    FileDescriptor fd(path, O_RDWR);
    if (fd.Get() < 0) ThrowOpenError(path);
    StepWriter writer(fd.Get(), fault);
    FileAtomSource probe(fd.Get());
    MoovLocation where = FindMoov(probe, path);
    AtomList& top = where.topLevel;
    uint64_t fileSize = probe.Size();

    // Anything after the atoms (junk) or a truncated atom at the end would
    // swallow or hide a moov appended behind it.
    if (top.malformed || top.trailerOffset != fileSize)
        throw LException(kInvalidMovieErr, "The movie file \"" + path + "\" has damaged atoms; its settings cannot be stored.");
    bool dropTornCopy = false;
    if (top.atoms.back().truncated) {
        const AtomSpan& last = top.atoms.back();
        bool leftover = where.index + 1 < top.atoms.size() && (last.type == kMoov || last.type == kFree);
        if (!leftover)
            throw LException(kInvalidMovieErr, "The movie file \"" + path + "\" is truncated; its settings cannot be stored.");
        // A torn copy from an interrupted save: not part of the movie.
        dropTornCopy = true;
        fileSize = last.offset;
        top.atoms.pop_back();
    }

    // What interrupted writes left at the end of the file, behind the old
    // moov and the free space right after it: copies of the moov and free
    // atoms. The first moov needs none of it, so it can go at any moment.
    size_t kept = where.index + 1;
    while (kept < top.atoms.size() && IsFreeSpace(top.atoms[kept])) ++kept;
    size_t leftovers = top.atoms.size();
    while (leftovers > kept && (top.atoms[leftovers - 1].type == kMoov || top.atoms[leftovers - 1].type == kFree ||
                                top.atoms[leftovers - 1].type == kSkip))
        --leftovers;
    const bool dropLeftovers = dropTornCopy || leftovers < top.atoms.size();
    if (leftovers < top.atoms.size()) {
        fileSize = top.atoms[leftovers].offset;
        top.atoms.resize(leftovers);
    }

    std::vector<uint8_t> oldMoov = ReadAtomBytes(probe, where.Moov());
    std::vector<uint8_t> newMoov = RebuildMoov(oldMoov, where.Moov().headerSize, type, data);
    const bool fixOpenEnded = top.atoms.back().openEnded;
    if (fixOpenEnded && (top.atoms.back().headerSize != 8 || top.atoms.back().size > 0xFFFFFFFFull))
        throw LException(kInvalidMovieErr, "The movie file \"" + path + "\" cannot take a new movie resource.");

    // Every refusal comes before this point, so a refused file keeps every
    // byte; from here on only a failing write stops the update.
    if (dropLeftovers) writer.Truncate(UserDataWriteStep::DropLeftovers, fileSize);
    if (fixOpenEnded) {
        const AtomSpan& last = top.atoms.back();
        uint8_t size[4];
        WriteBE32(size, uint32_t(last.size));
        writer.Write(UserDataWriteStep::FixOpenEndedAtom, last.offset, size, 4);
        top.atoms.back().openEnded = false;
    }
    for (size_t i = where.index + 1; i < top.atoms.size(); ++i)
        if (top.atoms[i].type == kMoov) WriteType(writer, UserDataWriteStep::RetireStaleMoov, top.atoms[i], kFree);

    // The old moov's place: itself and the free atoms right before and
    // after it (space that interrupted writes left is taken back here).
    const AtomSpan& moov = where.Moov();
    size_t first = where.index;
    while (first > 0 && IsFreeSpace(top.atoms[first - 1])) --first;
    const uint64_t slotStart = top.atoms[first].offset;
    uint64_t slot = moov.offset + moov.size - slotStart;
    size_t last = where.index + 1;
    for (; last < top.atoms.size() && IsFreeSpace(top.atoms[last]); ++last) slot += top.atoms[last].size;
    const bool slotEndsTheFile = last == top.atoms.size();
    uint64_t n = newMoov.size();
    // A place that ends the file grows into the end of it: a free atom
    // between it and the appended copy makes it large enough.
    std::vector<uint8_t> appended;
    if (slotEndsTheFile && n > slot) {
        const uint64_t gap = n + 8 - slot;
        AppendHeader(appended, kFree, gap);
        appended.resize(gap);
        slot += gap;
    }
    appended.insert(appended.end(), newMoov.begin(), newMoov.end());
    bool fitsInPlace = slot <= 0xFFFFFFFFull && (n == slot || n + 8 <= slot);

    // 1. The new moov at the end: the old one still comes first and rules.
    writer.Write(UserDataWriteStep::AppendNewMoov, fileSize, appended.data(), appended.size());
    writer.Sync(UserDataWriteStep::SyncAppended);

    if (!fitsInPlace) {
        // 2. The old one steps aside; the appended one rules.
        WriteType(writer, UserDataWriteStep::RetireOldMoov, moov, kFree);
        writer.Sync(UserDataWriteStep::SyncRetired);
        return;
    }

    // 2. The old moov and its free space become one free atom; the appended
    //    copy rules while the new moov is written inside that free atom.
    uint8_t header[8];
    WriteBE32(header, uint32_t(slot));
    WriteBE32(header + 4, kFree);
    writer.Write(UserDataWriteStep::RetireOldMoov, slotStart, header, 8);
    writer.Sync(UserDataWriteStep::SyncRetired);

    std::vector<uint8_t> body(newMoov.begin() + 8, newMoov.end());
    if (slot > n) {
        uint8_t filler[8];
        WriteBE32(filler, uint32_t(slot - n));
        WriteBE32(filler + 4, kFree);
        body.insert(body.end(), filler, filler + 8);
    }
    writer.Write(UserDataWriteStep::WriteInPlaceBody, slotStart + 8, body.data(), body.size());
    writer.Sync(UserDataWriteStep::SyncInPlaceBody);

    // 3. One header write makes it the first moov of the file.
    writer.Write(UserDataWriteStep::ActivateInPlace, slotStart, newMoov.data(), 8);
    writer.Sync(UserDataWriteStep::SyncActivated);

    // 4. The appended copy is no longer needed, nor, when the place ends the
    //    file, the free space behind the new moov.
    writer.Truncate(UserDataWriteStep::DropAppendedCopy, slotEndsTheFile ? slotStart + n : fileSize);
    writer.Sync(UserDataWriteStep::SyncFinal);
}
