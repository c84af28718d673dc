// Initialisation files ("Droplet.ini"): sections of key=value lines. Section
// and key names match without regard to ASCII case; the first occurrence
// of a key wins. A value is everything after the "=" except leading blanks,
// so paths with trailing blanks, quotes or any other bytes come back as
// they were written.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

class IniFile {
public:
    // Bigger files are not hand-over files; reading stops there.
    static constexpr size_t kMaxFileSize = 4 * 1024 * 1024;

    // A missing or unreadable file, or anything but a regular file, reads
    // as an empty one.
    static IniFile Load(const std::string& path);
    static IniFile Parse(const std::string& text);

    // The value of key in section, or the default when there is none; cut,
    // like the default, to bufferSize - 1 bytes (a buffer of bufferSize
    // bytes with its terminating zero).
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& defaultValue, size_t bufferSize) const;

    // Replaces the whole section (all its occurrences) by these entries,
    // written after the other sections; creates the file when missing.
    // Entries must not hold line breaks. False when the file could not be
    // written; the old file then stays as it was.
    static bool WriteSection(const std::string& path, const std::string& section,
                             const std::vector<std::pair<std::string, std::string>>& entries);

private:
    // Lower-cased "section\0key" -> value of its first occurrence.
    std::map<std::string, std::string> mValues;
};
