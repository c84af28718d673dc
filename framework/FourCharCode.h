// Four-character codes: 32-bit values written as 'abcd' in the code, with
// the first character in the most significant byte.
#pragma once

#include <cstdint>
#include <string>

using OSType = uint32_t;

constexpr OSType FourCC(const char (&s)[5]) {
    return (OSType(uint8_t(s[0])) << 24) | (OSType(uint8_t(s[1])) << 16) |
           (OSType(uint8_t(s[2])) << 8) | OSType(uint8_t(s[3]));
}

// The four characters of a code, for messages and file names.
inline std::string FourCCToString(OSType code) {
    std::string s(4, ' ');
    for (int i = 0; i < 4; ++i) s[i] = char((code >> (24 - 8 * i)) & 0xFF);
    return s;
}
