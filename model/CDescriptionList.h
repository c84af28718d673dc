// An ordered list of settings descriptions (filters, video segments, audio
// segments) that owns its handles. Entries may be null: a stored record
// can hold a null description and it must survive a round trip.
// Indexes count from 1; LArray's index rules apply (2147483647 = last,
// insert indexes clamped).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Handle.h"
#include "framework/TArray.h"

class CDescriptionList {
public:
    CDescriptionList() = default;
    ~CDescriptionList();
    CDescriptionList(const CDescriptionList&) = delete;
    CDescriptionList& operator=(const CDescriptionList&) = delete;

    int32_t Count() const { return mItems.GetCount(); }
    bool IsEmpty() const { return mItems.IsEmpty(); }
    bool IsValidIndex(int32_t index) const { return mItems.ValidIndex(index); }

    // The handle at index (still the list's); null out of range or for a
    // null entry.
    Handle* Get(int32_t index) const { return mItems[index]; }
    Handle* Last() const { return mItems[LArray::index_Last]; }
    // 0 when the handle is not in the list.
    int32_t IndexOf(const Handle* description) const {
        return mItems.IndexOf(const_cast<Handle*>(description));
    }

    // The list takes the handle; returns where it went (0 when the array
    // refused, and the handle is then disposed).
    int32_t Insert(int32_t index, std::unique_ptr<Handle> description);
    int32_t Append(std::unique_ptr<Handle> description) {
        return Insert(Count() + 1, std::move(description));
    }
    // Removes the entry and hands its handle to the caller.
    std::unique_ptr<Handle> Take(int32_t index);
    // Removes the entry and disposes of its handle.
    void Dispose(int32_t index) { Take(index); }
    void DisposeAll();
    // Copies of every entry in order (a null entry as a null handle).
    std::vector<Handle> Copies() const;

    // For walks that must survive changes to the list (TArrayIterator).
    const TArray<Handle*>& Items() const { return mItems; }

private:
    TArray<Handle*> mItems;
};
