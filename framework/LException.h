// The framework's exception: a 32-bit error code and a short message.
// Bare toolbox result codes are thrown as plain integers (OSErr).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "framework/FourCharCode.h"

using OSErr = int16_t;
using OSStatus = int32_t;

constexpr OSErr noErr = 0;
constexpr OSErr userCanceledErr = -128;
constexpr OSErr fnfErr = -43;      // file not found
constexpr OSErr bdNamErr = -37;    // bad file name (path too long for a file record)
constexpr OSErr ioErr = -36;
constexpr OSErr eofErr = -39;      // read past the end (stream exception)
constexpr OSErr memFullErr = -108;
constexpr OSErr paramErr = -50;

// The nil-pointer exception's code ('nilP').
constexpr int32_t err_NilPointer = int32_t(FourCC("nilP"));

class LException : public std::runtime_error {
public:
    explicit LException(int32_t code, const std::string& message = {})
        : std::runtime_error(message), mCode(code) {}
    int32_t Code() const { return mCode; }
    std::string Message() const { return what(); }

private:
    int32_t mCode;
};

// Throws the nil-pointer exception when p is null.
template <class T>
inline void ThrowIfNil(const T* p) {
    if (p == nullptr) throw LException(err_NilPointer, "nil pointer");
}
