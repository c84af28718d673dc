// The hand-over file reader ("Droplet.ini"). Whatever the text, the reader
// answers every question, never with a line break, and an answer is never
// longer than the buffer it is for; read from a file it answers the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/IniFile.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const IniFile ini = IniFile::Parse(text);
    for (int i = 0; i < 8; ++i) {
        const std::string key = "Filename" + std::to_string(i);
        const std::string value = ini.GetString("FileSection", key, "", 1024);
        FUZZ_CHECK(value.size() < 1024);
        FUZZ_CHECK(value.find('\n') == std::string::npos);
        FUZZ_CHECK(ini.GetString("FileSection", key, "", 1).empty());
        FUZZ_CHECK(ini.GetString("filesection", key, "", 1024) == value);  // names ignore case
    }
    FUZZ_CHECK(ini.GetString("", "", "fallback", 0).empty());

    static const fuzz::ScratchFile file(".ini");
    file.Write(data, size);
    const IniFile loaded = IniFile::Load(file.Path());
    const std::string first = ini.GetString("FileSection", "Filename0", "", 4096);
    FUZZ_CHECK(loaded.GetString("FileSection", "Filename0", "", 4096) == first);
    return 0;
}
