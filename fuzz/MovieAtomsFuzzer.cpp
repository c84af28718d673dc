// Files that carry a settings record: the droplet trailer, every way
// `--settings FROM` finds a record (droplet, bare record, or a movie's user
// data), the movie atom walker, the movie header, and storing a new record
// in a movie. A refused store leaves the file as it was; an accepted one
// reads back, leaves the media bytes where they were and can be repeated.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/SettingsSource.h"
#include "fuzz/FuzzSupport.h"
#include "platform/files/DropletFile.h"
#include "platform/media/source/AtomWalker.h"
#include "platform/media/source/MovieUserData.h"
#include "platform/media/source/SourceErrors.h"

namespace {

constexpr OSType kContainers[] = {FourCC("moov"), FourCC("trak"), FourCC("mdia"), FourCC("minf"),
                                  FourCC("stbl"), FourCC("udta"), FourCC("edts"), FourCC("dinf")};

bool IsContainer(OSType type) {
    for (OSType t : kContainers)
        if (t == type) return true;
    return false;
}

bool IsMovieOrFree(OSType type) {
    return type == FourCC("moov") || type == FourCC("free") || type == FourCC("skip");
}

void Walk(const AtomSource& source, uint64_t begin, uint64_t end, bool topLevel, int depth) {
    const AtomList list = ListAtoms(source, begin, end, topLevel);
    uint64_t expected = begin;
    for (const AtomSpan& a : list.atoms) {
        FUZZ_CHECK(a.offset == expected);
        FUZZ_CHECK(a.size >= a.headerSize && a.End() <= end);
        expected = a.End();
        if (depth < 8 && IsContainer(a.type)) Walk(source, a.offset + a.headerSize, a.End(), false, depth + 1);
    }
    FUZZ_CHECK(list.trailerOffset == expected && list.trailerOffset <= end);
}

// The bytes of the last 'MSTG' item in moov/udta (a new record is added
// last; the first one is what a reader gets, so an older second item can
// hide it, as it always could).
std::string LastStoredItem(const std::string& file) {
    MemoryAtomSource source(reinterpret_cast<const uint8_t*>(file.data()), file.size());
    const AtomList top = ListAtoms(source, 0, file.size(), true);
    const AtomSpan* moov = FindAtom(top, FourCC("moov"));
    FUZZ_CHECK(moov != nullptr);
    const AtomList children = ListAtoms(source, moov->offset + moov->headerSize, moov->End(), false);
    const AtomSpan* udta = FindAtom(children, FourCC("udta"));
    FUZZ_CHECK(udta != nullptr);
    std::string last;
    bool found = false;
    for (const AtomSpan& item : ListAtoms(source, udta->offset + udta->headerSize, udta->End(), false).atoms) {
        if (item.type != kSettingsUserDataType) continue;
        last = file.substr(item.offset + item.headerSize, item.size - item.headerSize);
        found = true;
    }
    FUZZ_CHECK(found);
    return last;
}

std::string Bytes(const Handle& h) { return std::string(reinterpret_cast<const char*>(h.Data()), h.Size()); }

bool ExpectedCode(const LException& e) {
    return e.Code() == kNoMovieFoundErr || e.Code() == kInvalidMovieErr || e.Code() == ioErr;
}

void CheckSettingsSources(const std::string& path, const uint8_t* data, size_t size) {
    const Handle trailer = ReadDropletSettings(path);
    if (!trailer.IsNull()) {
        // Exactly the bytes before the length word, and as many as it says.
        FUZZ_CHECK(trailer.Size() > 0 && trailer.Size() + 4 <= size);
        uint32_t length = 0;
        for (int i = 0; i < 4; ++i) length |= uint32_t(data[size - 4 + i]) << (8 * i);
        FUZZ_CHECK(trailer.Size() == length);
        FUZZ_CHECK(std::memcmp(trailer.Data(), data + size - 4 - length, length) == 0);
    }
    Handle block, record;
    std::string why;
    if (ReadSettingsBlockFromFile(path, block, why)) FUZZ_CHECK(!block.IsNull() && block.Size() <= size);
    else FUZZ_CHECK(!why.empty());
    why.clear();
    if (LoadSettingsRecord(path, record, why)) FUZZ_CHECK(!record.IsNull() && record.Size() <= size);
    else FUZZ_CHECK(!why.empty() && why.find('\n') == std::string::npos);
}

}  // namespace

FUZZ_STARTS_MEDIA_LAYER

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryAtomSource memory(data, size);
    Walk(memory, 0, size, true, 0);

    static const fuzz::ScratchFile file(".mov");
    file.Write(data, size);
    const std::string original(reinterpret_cast<const char*>(data), size);
    CheckSettingsSources(file.Path(), data, size);

    Handle stored;
    try {
        stored = MovieUserData::Read(file.Path());
        if (!stored.IsNull()) FUZZ_CHECK(stored.Size() + 16 <= size);
    } catch (const LException& e) {
        FUZZ_CHECK(ExpectedCode(e));
    }
    int32_t scale = 0;
    int64_t duration = 0;
    if (MovieUserData::ReadMovieHeader(file.Path(), scale, duration)) FUZZ_CHECK(scale > 0);
    FUZZ_CHECK(file.Read() == original);

    const Handle record(std::string(size % 97, 'r').data(), size % 97);
    try {
        MovieUserData::Write(file.Path(), record);
    } catch (const LException& e) {
        FUZZ_CHECK(ExpectedCode(e));
        FUZZ_CHECK(file.Read() == original);  // refused: not one byte changed
        return 0;
    }

    const std::string after = file.Read();
    FUZZ_CHECK(LastStoredItem(after) == Bytes(record));
    MemoryAtomSource written(reinterpret_cast<const uint8_t*>(after.data()), after.size());
    const AtomList top = ListAtoms(written, 0, after.size(), true);
    FUZZ_CHECK(!top.malformed && top.trailerOffset == after.size());
    // The media data did not move: every other atom's body is where it was.
    for (const AtomSpan& a : ListAtoms(memory, 0, size, true).atoms) {
        if (IsMovieOrFree(a.type) || a.truncated) continue;
        const uint64_t body = a.offset + a.headerSize;
        FUZZ_CHECK(a.End() <= after.size());
        FUZZ_CHECK(std::memcmp(after.data() + body, data + body, a.End() - body) == 0);
    }

    // And the store can be done again, in place or appended.
    const Handle larger(std::string(300, 'R').data(), 300);
    MovieUserData::Write(file.Path(), larger);
    FUZZ_CHECK(LastStoredItem(file.Read()) == Bytes(larger));
    MovieUserData::Write(file.Path(), record);
    FUZZ_CHECK(LastStoredItem(file.Read()) == Bytes(record));
    (void)MovieUserData::Read(file.Path());
    return 0;
}
