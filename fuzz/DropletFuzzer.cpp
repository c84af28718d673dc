// The droplet trailer and every way `--settings FROM` finds a settings
// record in a file: droplet, bare record, or a movie's user data.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/files/DropletFile.h"
#include "app/SettingsSource.h"
#include "fuzz/FuzzSupport.h"

FUZZ_STARTS_MEDIA_LAYER

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzz::ScratchFile file(".droplet");
    file.Write(data, size);

    const Handle trailer = ReadDropletSettings(file.Path());
    if (!trailer.IsNull()) {
        // Exactly the bytes before the length word, and as many as it says.
        FUZZ_CHECK(trailer.Size() > 0 && trailer.Size() + 4 <= size);
        uint32_t length = 0;
        for (int i = 0; i < 4; ++i) length |= uint32_t(data[size - 4 + i]) << (8 * i);
        FUZZ_CHECK(trailer.Size() == length);
        FUZZ_CHECK(std::memcmp(trailer.Data(), data + size - 4 - length, length) == 0);
    }

    Handle block;
    std::string why;
    if (ReadSettingsBlockFromFile(file.Path(), block, why)) FUZZ_CHECK(!block.IsNull() && block.Size() <= size);
    else FUZZ_CHECK(!why.empty());

    Handle record;
    why.clear();
    if (LoadSettingsRecord(file.Path(), record, why)) FUZZ_CHECK(!record.IsNull() && record.Size() <= size);
    else FUZZ_CHECK(!why.empty() && why.find('\n') == std::string::npos);

    FUZZ_CHECK(file.Read() == std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
