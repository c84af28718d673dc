#include "framework/LHandleStream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

LHandleStream::LHandleStream() = default;

LHandleStream::LHandleStream(Handle&& owned) : mOwned(std::move(owned)) {
    if (mOwned.IsNull()) mOwned.SetSize(0);
}

LHandleStream::LHandleStream(Handle* external) {
    if (external == nullptr) throw LException(err_NilPointer, "stream over a missing handle");
    mTarget = external;
}

LHandleStream::LHandleStream(const Handle* external) {
    if (external == nullptr) throw LException(err_NilPointer, "stream over a missing handle");
    mTarget = nullptr;
    mExternalRead = external;
}

Handle& LHandleStream::Writable() {
    if (mTarget == nullptr) throw LException(paramErr, "write to a read-only stream");
    return *mTarget;
}

void LHandleStream::SetMarker(size_t marker) { mMarker = std::min(marker, GetLength()); }

void LHandleStream::SetLength(size_t length) {
    try {
        Writable().SetSize(length);
    } catch (const std::bad_alloc&) {
        throw LException(memFullErr, "out of memory growing a stream");
    }
    mMarker = std::min(mMarker, length);
}

void LHandleStream::PutBytes(const void* data, size_t size) {
    Handle& h = Writable();
    if (size == 0) {
        if (h.IsNull()) h.SetSize(0);
        return;
    }
    const size_t end = mMarker + size;
    if (end < mMarker) throw LException(memFullErr, "stream too large");
    try {
        if (end > h.Size()) h.SetSize(end);
    } catch (const std::bad_alloc&) {
        throw LException(memFullErr, "out of memory growing a stream");
    }
    std::memmove(h.Data() + mMarker, data, size);
    mMarker = end;
}

void LHandleStream::PutBE16(int16_t value) {
    const auto v = uint16_t(value);
    const uint8_t bytes[2] = {uint8_t(v >> 8), uint8_t(v)};
    PutBytes(bytes, 2);
}

void LHandleStream::PutBE32(int32_t value) {
    const auto v = uint32_t(value);
    const uint8_t bytes[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
    PutBytes(bytes, 4);
}

void LHandleStream::PutPString(const std::string& text) {
    const size_t n = std::min<size_t>(text.size(), 255);
    PutByte(uint8_t(n));
    PutBytes(text.data(), n);
}

void LHandleStream::PutPString(const uint8_t* pascalString) {
    if (pascalString == nullptr) {
        PutByte(0);
        return;
    }
    PutBytes(pascalString, size_t(pascalString[0]) + 1);
}

void LHandleStream::PutSizedHandle(const Handle& h) {
    if (h.IsNull()) {
        PutBE32(-1);
        return;
    }
    if (h.Size() > size_t(std::numeric_limits<int32_t>::max()))
        throw LException(memFullErr, "handle too large for the stream");
    PutBE32(int32_t(h.Size()));
    PutBytes(h.Data(), h.Size());
}

void LHandleStream::Need(size_t size) const {
    if (size > BytesLeft()) throw LException(eofErr, "read past the end of the stream");
}

void LHandleStream::GetBytes(void* data, size_t size) {
    Need(size);
    if (size != 0) std::memcpy(data, Source().Data() + mMarker, size);
    mMarker += size;
}

uint8_t LHandleStream::GetByte() {
    uint8_t value;
    GetBytes(&value, 1);
    return value;
}

int16_t LHandleStream::GetBE16() {
    uint8_t b[2];
    GetBytes(b, 2);
    return int16_t(uint16_t((b[0] << 8) | b[1]));
}

int32_t LHandleStream::GetBE32() {
    uint8_t b[4];
    GetBytes(b, 4);
    return int32_t((uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) |
                   uint32_t(b[3]));
}

std::string LHandleStream::GetPString() {
    const size_t start = mMarker;
    const uint8_t n = GetByte();
    if (n > BytesLeft()) {
        mMarker = start;
        Need(n);
    }
    std::string text(reinterpret_cast<const char*>(Source().Data() + mMarker), n);
    mMarker += n;
    return text;
}

void LHandleStream::GetPString(uint8_t* pascalString256) {
    const size_t start = mMarker;
    const uint8_t n = GetByte();
    if (n > BytesLeft()) {
        mMarker = start;
        Need(n);
    }
    pascalString256[0] = n;
    GetBytes(pascalString256 + 1, n);
}

Handle LHandleStream::GetSizedHandle() {
    const size_t start = mMarker;
    const int32_t size = GetBE32();
    if (size == -1) return Handle();
    if (size < 0 || size_t(size) > BytesLeft()) {
        mMarker = start;
        throw LException(eofErr, "handle larger than the rest of the stream");
    }
    Handle h(Source().Data() + mMarker, size_t(size));
    mMarker += size_t(size);
    return h;
}

Handle LHandleStream::DetachHandle() {
    if (mTarget == &mOwned) {
        Handle out = std::move(mOwned);
        mOwned = Handle(std::vector<uint8_t>{});
        mMarker = 0;
        return out;
    }
    return Source();
}
