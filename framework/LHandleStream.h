// Growable byte stream over a Handle with one read/write position (the
// marker). Used for the big-endian settings record. Reads past the end
// throw LException(eofErr) and leave the marker where it was; nothing is
// allocated on the strength of a length read from the stream unless that
// many bytes are really there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/Handle.h"
#include "framework/LException.h"

class LHandleStream {
public:
    // A stream over a new, empty handle that it owns (DetachHandle hands it over).
    LHandleStream();
    // A stream that takes over the given handle.
    explicit LHandleStream(Handle&& owned);
    // A stream over the caller's handle: reads and writes go to it, and it
    // stays the caller's.
    explicit LHandleStream(Handle* external);
    // A read-only stream over the caller's handle; writes throw paramErr.
    explicit LHandleStream(const Handle* external);

    LHandleStream(const LHandleStream&) = delete;
    LHandleStream& operator=(const LHandleStream&) = delete;

    size_t GetMarker() const { return mMarker; }
    // Clamped to the length.
    void SetMarker(size_t marker);
    size_t GetLength() const { return Source().Size(); }
    // Grows with zero bytes or cuts; the marker is clamped.
    void SetLength(size_t length);
    size_t BytesLeft() const { return GetLength() - mMarker; }
    bool AtEnd() const { return mMarker >= GetLength(); }

    // Writes at the marker, overwriting and growing as needed.
    void PutBytes(const void* data, size_t size);
    void PutByte(uint8_t value) { PutBytes(&value, 1); }
    void PutBE16(int16_t value);
    void PutBE32(int32_t value);
    void PutBE32U(uint32_t value) { PutBE32(int32_t(value)); }
    // Length byte then up to 255 bytes (longer text is cut at 255).
    void PutPString(const std::string& text);
    void PutPString(const uint8_t* pascalString);  // length byte first
    // 4-byte big-endian size, then the bytes; a null handle is size -1.
    void PutSizedHandle(const Handle& h);

    // Reads at the marker; throws LException(eofErr) when fewer bytes remain.
    void GetBytes(void* data, size_t size);
    uint8_t GetByte();
    int16_t GetBE16();
    int32_t GetBE32();
    uint32_t GetBE32U() { return uint32_t(GetBE32()); }
    std::string GetPString();
    void GetPString(uint8_t* pascalString256);  // buffer of 256 bytes
    // Reads what PutSizedHandle wrote: size -1 gives a null handle; any
    // other negative size, or one larger than the bytes left, throws eofErr.
    Handle GetSizedHandle();

    // The stream's handle. For an owned handle, it is handed over and the
    // stream starts again empty; for the caller's handle, a copy.
    Handle DetachHandle();
    const Handle& GetHandle() const { return Source(); }

private:
    const Handle& Source() const { return mExternalRead ? *mExternalRead : *mTarget; }
    Handle& Writable();
    void Need(size_t size) const;

    Handle mOwned{std::vector<uint8_t>{}};
    Handle* mTarget = &mOwned;            // null for a read-only stream
    const Handle* mExternalRead = nullptr;
    size_t mMarker = 0;
};
