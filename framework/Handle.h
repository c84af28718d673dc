// Handle: an owned, growable block of bytes. Settings descriptions, records
// and pictures live in handles. A handle may be null (no block at all),
// which the settings record tells apart from an empty block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class Handle {
public:
    Handle() = default;  // null
    explicit Handle(size_t size) : mBytes(size), mIsNull(false) {}
    Handle(const void* data, size_t size)
        : mBytes(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size),
          mIsNull(false) {}
    explicit Handle(std::vector<uint8_t> bytes) : mBytes(std::move(bytes)), mIsNull(false) {}

    bool IsNull() const { return mIsNull; }
    explicit operator bool() const { return !mIsNull; }

    size_t Size() const { return mBytes.size(); }
    uint8_t* Data() { return mBytes.data(); }
    const uint8_t* Data() const { return mBytes.data(); }
    const std::vector<uint8_t>& Bytes() const { return mBytes; }
    std::vector<uint8_t>& Bytes() { mIsNull = false; return mBytes; }

    // Resizing a null handle makes it a real (possibly empty) block.
    void SetSize(size_t size) { mBytes.resize(size); mIsNull = false; }
    void Append(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        mBytes.insert(mBytes.end(), p, p + size);
        mIsNull = false;
    }
    void Dispose() { mBytes.clear(); mBytes.shrink_to_fit(); mIsNull = true; }

    friend bool operator==(const Handle& a, const Handle& b) {
        return a.mIsNull == b.mIsNull && a.mBytes == b.mBytes;
    }

private:
    std::vector<uint8_t> mBytes;
    bool mIsNull = true;
};
