// Drag records: the 272-byte file record of the 'QTcd', 'QTac', 'QTfx' and
// 'hfs ' flavours (10-byte prefix, then the file reference) and the bare
// 262-byte reference of 'Vthm', decoded the way the receivers do it, then
// every file-reference operation that works on the name alone.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/FuzzSupport.h"
#include "platform/media/FSSpec.h"

namespace {

constexpr size_t kPrefix = 10;
constexpr size_t kRecord = kPrefix + sizeof(FSSpec);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Receivers take a record only at its exact size.
    FSSpec file;
    if (size == kRecord) std::memcpy(&file, data + kPrefix, sizeof file);
    else if (size == sizeof(FSSpec)) std::memcpy(&file, data, sizeof file);
    else return 0;

    const std::string path = file.Path();
    FUZZ_CHECK(path.size() == file.name[0]);
    const std::string name = file.FileName(true);
    const std::string stem = file.FileName(false);
    FUZZ_CHECK(name.size() <= path.size() && stem.size() <= name.size());
    FUZZ_CHECK(path.compare(path.size() - name.size(), name.size(), name) == 0);
    FUZZ_CHECK(name.find('/') == std::string::npos);

    FSSpec copy;
    FUZZ_CHECK(FSSpec::FromPath(path, copy) == noErr);
    FUZZ_CHECK(copy.Path() == path);
    FSSpec renamed = file;
    if (renamed.SetFileName("x.mov") == noErr) FUZZ_CHECK(renamed.FileName(true) == "x.mov");
    else FUZZ_CHECK(renamed.Path() == path);  // a failed rename changes nothing
    return 0;
}
