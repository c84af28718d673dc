// Dynamic array of fixed-size items, indexed from 1. Every list in the
// program is one of these (through TArray), so its rules matter:
// index 2147483647 means the last item, out-of-range insert indexes are
// clamped, a locked array refuses structural changes, and iterators walking
// the array stay valid while items are inserted or removed under them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// Orders and matches raw items. The base class compares items as byte
// blocks; subclasses read them as whatever they hold.
class LComparator {
public:
    LComparator() = default;
    virtual ~LComparator() = default;

    // Negative, zero or positive as item1 sorts before, with or after item2.
    virtual int32_t Compare(const void* item1, const void* item2, uint32_t size1,
                            uint32_t size2) const;
    virtual bool IsEqualTo(const void* item1, const void* item2, uint32_t size1,
                           uint32_t size2) const;
    // A new comparator of the same kind, owned by the caller (arrays that
    // are copied take a clone of a comparator they own).
    virtual LComparator* Clone() const;

    // Shared instance, never deleted.
    static LComparator* GetComparator();
};

// Items read as signed 32-bit integers.
class LLongComparator : public LComparator {
public:
    int32_t Compare(const void* item1, const void* item2, uint32_t size1,
                    uint32_t size2) const override;
    bool IsEqualTo(const void* item1, const void* item2, uint32_t size1,
                   uint32_t size2) const override;
    LComparator* Clone() const override;

    static LLongComparator* GetComparator();
};

class LArrayIterator;

class LArray {
public:
    static constexpr int32_t index_Last = 0x7FFFFFFF;  // "the last item"
    static constexpr int32_t index_Bad = 0;

    // Without a comparator the array uses the shared default one (the long
    // comparator for 4-byte items, the byte comparator otherwise) and does
    // not own it. A comparator passed here is owned when takeOwnership.
    explicit LArray(uint32_t itemSize, LComparator* comparator = nullptr, bool keepSorted = false,
                    bool takeOwnership = false);
    virtual ~LArray();

    // Copies items, flags and comparator (cloned when owned); never the
    // lock count or the iterators.
    LArray(const LArray& other);
    LArray& operator=(const LArray& other);

    uint32_t GetItemSize() const { return mItemSize; }
    int32_t GetCount() const { return int32_t(mItemCount); }
    bool IsEmpty() const { return mItemCount == 0; }

    // True when index names an item; index_Last is turned into the count.
    bool ValidIndex(int32_t& index) const;

    // Raw access. item points to GetItemSize() bytes unless a size is given.
    bool FetchItemAt(int32_t index, void* outItem) const;
    // Copies the smaller of the stored size and ioSize; ioSize gets the
    // number of bytes copied.
    bool FetchItemAt(int32_t index, void* outItem, uint32_t& ioSize) const;
    // Pointer into the store, valid until the next structural change; null
    // for an invalid index.
    const void* ItemPtr(int32_t index) const;

    int32_t FetchIndexOf(const void* item) const;          // 0 when absent
    int32_t AddItem(const void* item);                     // Append
    int32_t InsertItemsAt(int32_t count, int32_t index, const void* item);
    void RemoveItemsAt(int32_t count, int32_t index);
    int32_t AssignItemsAt(int32_t count, int32_t index, const void* item);
    void RemoveItem(const void* item);                     // first equal item
    bool PopLastItem(void* outItem);
    void RemoveAllItems() { RemoveItemsAt(GetCount(), 1); }

    bool SwapItems(int32_t index1, int32_t index2);
    bool MoveItem(int32_t fromIndex, int32_t toIndex);
    void Sort();

    // Pinning: while locked, inserts and removals are refused.
    void Lock() { ++mLockCount; }
    void Unlock() { if (mLockCount > 0) --mLockCount; }
    bool IsLocked() const { return mLockCount != 0; }
    uint32_t GetLockCount() const { return mLockCount; }

    bool IsSorted() const { return mIsSorted; }
    bool GetKeepSorted() const { return mKeepSorted; }
    void SetKeepSorted(bool keepSorted);  // turning it on sorts the items

    LComparator* GetComparator() const { return mComparator; }
    // Installs a comparator (null: the default one). Clears is-sorted; a
    // keep-sorted array sorts itself at once.
    void SetComparator(LComparator* comparator, bool takeOwnership);
    void SetComparator(std::unique_ptr<LComparator> comparator) {
        SetComparator(comparator.release(), true);
    }
    void UseDefaultComparator() { SetComparator(nullptr, false); }

protected:
    friend class LArrayIterator;

    void AttachIterator(LArrayIterator* iterator) const;
    void DetachIterator(LArrayIterator* iterator) const;
    void ItemsInserted(int32_t count, int32_t index);
    void ItemsRemoved(int32_t count, int32_t index);

    int32_t LinearSearch(const void* item) const;
    int32_t BinarySearch(const void* item) const;
    int32_t SortedInsertIndex(const void* item) const;
    uint8_t* Slot(int32_t index) { return mStore.data() + size_t(index - 1) * mItemSize; }
    const uint8_t* Slot(int32_t index) const {
        return mStore.data() + size_t(index - 1) * mItemSize;
    }
    static LComparator* DefaultComparatorFor(uint32_t itemSize);
    void ReleaseComparator();

    uint32_t mItemSize;
    uint32_t mItemCount = 0;
    std::vector<uint8_t> mStore;  // items back to back
    mutable uint32_t mLockCount = 0;
    mutable LArrayIterator* mIterators = nullptr;  // singly linked
    LComparator* mComparator = nullptr;
    bool mOwnsComparator = false;
    bool mIsSorted = true;
    bool mKeepSorted = false;
};

// Walks an array forwards or backwards. Insertions after the current item
// are visited, insertions at or before it are not; removing the current
// item (or others) during the walk is safe. When the array is destroyed
// during the walk, Next and Previous answer false.
class LArrayIterator {
public:
    enum Position { from_Start, from_End };

    explicit LArrayIterator(const LArray& array, Position position = from_Start);
    virtual ~LArrayIterator();
    LArrayIterator(const LArrayIterator&) = delete;
    LArrayIterator& operator=(const LArrayIterator&) = delete;

    bool Next(void* outItem);
    bool Previous(void* outItem);
    bool Current(void* outItem) const;  // false when the current item is gone
    void ResetTo(Position position);

    // Index of the item last returned; 0 before the first, -1 when it was
    // removed, 2147483647 after the last.
    int32_t GetCurrentIndex() const { return mCurrent; }
    const LArray* GetArray() const { return mArray; }

    static constexpr int32_t kBeforeFirst = 0;
    static constexpr int32_t kCurrentRemoved = -1;
    static constexpr int32_t kPastLast = 0x7FFFFFFF;

private:
    friend class LArray;
    void ItemsInserted(int32_t count, int32_t index);
    void ItemsRemoved(int32_t count, int32_t index);
    void ArrayDied() { mArray = nullptr; }

    const LArray* mArray;
    LArrayIterator* mNextIterator = nullptr;
    int32_t mCurrent = kBeforeFirst;
    int32_t mNext = 1;
};

// The typed array and iterator live beside this header.
#include "framework/TArray.h"
