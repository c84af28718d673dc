// The hand-over file reader ("Droplet.ini"). Whatever the text, the reader
// answers every question, never with a line break, and an answer is never
// longer than the buffer it is for; the file keys a batch reads come back
// exactly as a writer put them.
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

    // The same file read from disk, then its file section rewritten with
    // values taken from it: the new values come back unchanged.
    static const fuzz::ScratchFile file(".ini");
    file.Write(data, size);
    const IniFile loaded = IniFile::Load(file.Path());
    const std::string first = ini.GetString("FileSection", "Filename0", "", 4096);
    FUZZ_CHECK(loaded.GetString("FileSection", "Filename0", "", 4096) == first);

    std::string stored = first;
    while (!stored.empty() && stored.back() == '\r') stored.pop_back();
    if (IniFile::WriteSection(file.Path(), "FileSection", {{"Filename0", stored}, {"Filename1", "x"}})) {
        const IniFile rewritten = IniFile::Load(file.Path());
        const size_t blanks = stored.find_first_not_of(" \t");
        const std::string expected = blanks == std::string::npos ? "" : stored.substr(blanks);
        FUZZ_CHECK(rewritten.GetString("FileSection", "Filename0", "", 1u << 20) == expected);
        FUZZ_CHECK(rewritten.GetString("FileSection", "Filename1", "", 1u << 20) == "x");
    }
    return 0;
}
