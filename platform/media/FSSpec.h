// File record of the toolbox layer. On this platform the name holds the
// full native path ("/" separated); volume and directory are usually 0.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "framework/FourCharCode.h"
#include "framework/LException.h"

#pragma pack(push, 2)
struct FSSpec {
    int16_t vRefNum = 0;
    int32_t parID = 0;
    uint8_t name[256] = {};  // length byte, then up to 255 bytes

    // Builds a record holding the full path; fails with bdNamErr (-37)
    // when the path does not fit in 255 bytes.
    static OSErr FromPath(const std::string& path, FSSpec& out);

    bool IsSet() const { return name[0] != 0; }
    void Clear() { name[0] = 0; }
    std::string Path() const { return std::string(reinterpret_cast<const char*>(name + 1), name[0]); }

    // The text after the last "/", without its extension unless asked for.
    std::string FileName(bool withExtension = false) const;
    // Replace the text after the last "/"; bdNamErr when the result is too long.
    OSErr SetFileName(const std::string& fileName);
    // (The file's type comes from UFileTypeTranslator::FileTypeOfFile.)
    int64_t FileSize() const;              // -1 when the file cannot be read
    int64_t ModificationStamp() const;     // seconds since the epoch, -1 when unknown
    // A name inside this folder (or beside this file): fnfErr when it does
    // not exist, 'nilP' when the name is empty.
    OSErr Child(const std::string& childName, FSSpec& out, bool isFolder) const;

    // Same file: both named, same numbers, names equal byte for byte.
    friend bool operator==(const FSSpec& a, const FSSpec& b) {
        return a.IsSet() && b.IsSet() && a.vRefNum == b.vRefNum && a.parID == b.parID &&
               std::memcmp(a.name, b.name, size_t(a.name[0]) + 1) == 0;
    }
};
#pragma pack(pop)
static_assert(sizeof(FSSpec) == 262, "FSSpec is the 262-byte file reference of the drag records");
