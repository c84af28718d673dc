#include "framework/LArray.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>

#include "framework/LException.h"

// ---- comparators ----

int32_t LComparator::Compare(const void* item1, const void* item2, uint32_t size1,
                             uint32_t size2) const {
    const int result = std::memcmp(item1, item2, std::min(size1, size2));
    if (result != 0) return result < 0 ? -1 : 1;
    if (size1 == size2) return 0;
    return size1 < size2 ? -1 : 1;
}

bool LComparator::IsEqualTo(const void* item1, const void* item2, uint32_t size1,
                            uint32_t size2) const {
    return Compare(item1, item2, size1, size2) == 0;
}

LComparator* LComparator::Clone() const { return new LComparator; }

LComparator* LComparator::GetComparator() {
    static LComparator shared;
    return &shared;
}

static int32_t ReadLong(const void* item) {
    int32_t value;
    std::memcpy(&value, item, sizeof value);
    return value;
}

int32_t LLongComparator::Compare(const void* item1, const void* item2, uint32_t,
                                 uint32_t) const {
    // The difference first minus second, held to the 32-bit range so that
    // far-apart values still order correctly instead of wrapping.
    const int64_t diff = int64_t(ReadLong(item1)) - int64_t(ReadLong(item2));
    return int32_t(std::clamp<int64_t>(diff, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

bool LLongComparator::IsEqualTo(const void* item1, const void* item2, uint32_t,
                                uint32_t) const {
    return ReadLong(item1) == ReadLong(item2);
}

LComparator* LLongComparator::Clone() const { return new LLongComparator; }

LLongComparator* LLongComparator::GetComparator() {
    static LLongComparator shared;
    return &shared;
}

// ---- array ----

namespace {
// Pins the store for the length of a search, even if the comparator throws.
struct StPin {
    explicit StPin(uint32_t& count) : mCount(count) { ++mCount; }
    ~StPin() { --mCount; }
    uint32_t& mCount;
};
}  // namespace

LComparator* LArray::DefaultComparatorFor(uint32_t itemSize) {
    if (itemSize == sizeof(int32_t)) return LLongComparator::GetComparator();
    return LComparator::GetComparator();
}

LArray::LArray(uint32_t itemSize, LComparator* comparator, bool keepSorted, bool takeOwnership)
    : mItemSize(itemSize == 0 ? 1 : itemSize), mKeepSorted(keepSorted) {
    if (comparator) {
        mComparator = comparator;
        mOwnsComparator = takeOwnership;
    } else {
        mComparator = DefaultComparatorFor(mItemSize);
    }
}

LArray::~LArray() {
    for (LArrayIterator* it = mIterators; it != nullptr;) {
        LArrayIterator* next = it->mNextIterator;
        it->mNextIterator = nullptr;
        it->ArrayDied();
        it = next;
    }
    mIterators = nullptr;
    ReleaseComparator();
}

LArray::LArray(const LArray& other)
    : mItemSize(other.mItemSize),
      mItemCount(other.mItemCount),
      mStore(other.mStore),
      mIsSorted(other.mIsSorted),
      mKeepSorted(other.mKeepSorted) {
    if (other.mOwnsComparator) {
        mComparator = other.mComparator->Clone();
        mOwnsComparator = true;
    } else {
        mComparator = other.mComparator;
    }
}

LArray& LArray::operator=(const LArray& other) {
    if (this == &other) return *this;
    LComparator* comparator = other.mOwnsComparator ? other.mComparator->Clone()
                                                    : other.mComparator;
    // Iterators walking this array see everything removed, then the new items.
    const int32_t oldCount = GetCount();
    mStore.clear();
    mItemCount = 0;
    if (oldCount > 0) ItemsRemoved(oldCount, 1);
    ReleaseComparator();
    mComparator = comparator;
    mOwnsComparator = other.mOwnsComparator;
    mItemSize = other.mItemSize;
    mStore = other.mStore;
    mItemCount = other.mItemCount;
    mIsSorted = other.mIsSorted;
    mKeepSorted = other.mKeepSorted;
    if (mItemCount > 0) ItemsInserted(GetCount(), 1);
    return *this;
}

void LArray::ReleaseComparator() {
    if (mOwnsComparator) delete mComparator;
    mComparator = nullptr;
    mOwnsComparator = false;
}

bool LArray::ValidIndex(int32_t& index) const {
    if (index == index_Last) index = GetCount();
    return index >= 1 && index <= GetCount();
}

bool LArray::FetchItemAt(int32_t index, void* outItem) const {
    if (!ValidIndex(index)) return false;
    std::memcpy(outItem, Slot(index), mItemSize);
    return true;
}

bool LArray::FetchItemAt(int32_t index, void* outItem, uint32_t& ioSize) const {
    if (!ValidIndex(index)) return false;
    ioSize = std::min(ioSize, mItemSize);
    std::memcpy(outItem, Slot(index), ioSize);
    return true;
}

const void* LArray::ItemPtr(int32_t index) const {
    if (!ValidIndex(index)) return nullptr;
    return Slot(index);
}

int32_t LArray::LinearSearch(const void* item) const {
    StPin pin(mLockCount);
    for (int32_t i = 1; i <= GetCount(); ++i)
        if (mComparator->IsEqualTo(item, Slot(i), mItemSize, mItemSize)) return i;
    return 0;
}

int32_t LArray::BinarySearch(const void* item) const {
    StPin pin(mLockCount);
    int32_t low = 1, high = GetCount();
    while (low <= high) {
        const int32_t middle = low + (high - low) / 2;
        const int32_t c = mComparator->Compare(item, Slot(middle), mItemSize, mItemSize);
        if (c == 0) return middle;
        if (c > 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return 0;
}

int32_t LArray::FetchIndexOf(const void* item) const {
    if (item == nullptr || mItemCount == 0) return 0;
    return mIsSorted ? BinarySearch(item) : LinearSearch(item);
}

// After every item that sorts before or with the new one, so equal items
// keep the order they were inserted in.
int32_t LArray::SortedInsertIndex(const void* item) const {
    StPin pin(mLockCount);
    int32_t low = 1, high = GetCount();
    while (low <= high) {
        const int32_t middle = low + (high - low) / 2;
        if (mComparator->Compare(item, Slot(middle), mItemSize, mItemSize) < 0)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return low;
}

int32_t LArray::AddItem(const void* item) {
    if (IsLocked()) return 0;
    if (mKeepSorted) return InsertItemsAt(1, index_Last, item);
    const int32_t index = InsertItemsAt(1, GetCount() + 1, item);
    mIsSorted = false;
    return index;
}

int32_t LArray::InsertItemsAt(int32_t count, int32_t index, const void* item) {
    if (count <= 0 || IsLocked()) return 0;
    // The item may live inside our own store, which is about to move.
    std::vector<uint8_t> copy;
    if (item != nullptr) {
        const auto* p = static_cast<const uint8_t*>(item);
        if (!mStore.empty() && p >= mStore.data() && p < mStore.data() + mStore.size()) {
            copy.assign(p, p + mItemSize);
            item = copy.data();
        }
    }
    if (mKeepSorted) {
        if (item == nullptr) return 0;
        if (!mIsSorted) Sort();
        index = SortedInsertIndex(item);
    } else if (index > GetCount()) {
        index = GetCount() + 1;
    } else if (index < 1) {
        index = 1;
    }
    const uint64_t newCount = uint64_t(mItemCount) + uint64_t(count);
    if (newCount > uint64_t(std::numeric_limits<int32_t>::max() - 1))
        throw LException(memFullErr, "array too large");
    const size_t at = size_t(index - 1) * mItemSize;
    const size_t bytes = size_t(count) * mItemSize;
    try {
        mStore.insert(mStore.begin() + std::ptrdiff_t(at), bytes, uint8_t(0));
    } catch (const std::bad_alloc&) {
        throw LException(memFullErr, "out of memory growing an array");
    }
    if (item != nullptr)
        for (int32_t i = 0; i < count; ++i)
            std::memcpy(mStore.data() + at + size_t(i) * mItemSize, item, mItemSize);
    mItemCount = uint32_t(newCount);
    mIsSorted = mKeepSorted;
    ItemsInserted(count, index);
    return index;
}

void LArray::RemoveItemsAt(int32_t count, int32_t index) {
    if (IsLocked() || count <= 0 || !ValidIndex(index)) return;
    count = std::min(count, GetCount() - index + 1);
    const size_t at = size_t(index - 1) * mItemSize;
    mStore.erase(mStore.begin() + std::ptrdiff_t(at),
                 mStore.begin() + std::ptrdiff_t(at + size_t(count) * mItemSize));
    mItemCount -= uint32_t(count);
    if (mItemCount == 0) mIsSorted = true;
    ItemsRemoved(count, index);
}

int32_t LArray::AssignItemsAt(int32_t count, int32_t index, const void* item) {
    if (count <= 0 || item == nullptr || !ValidIndex(index)) return 0;
    count = std::min(count, GetCount() - index + 1);
    if (mKeepSorted) {
        if (IsLocked()) return 0;
        std::vector<uint8_t> copy(static_cast<const uint8_t*>(item),
                                  static_cast<const uint8_t*>(item) + mItemSize);
        RemoveItemsAt(count, index);
        return InsertItemsAt(count, index_Last, copy.data());
    }
    // memmove: the item may be one of the slots being written (then it is
    // only ever copied onto itself).
    for (int32_t i = 0; i < count; ++i) std::memmove(Slot(index + i), item, mItemSize);
    mIsSorted = false;
    return index;
}

void LArray::RemoveItem(const void* item) {
    const int32_t index = FetchIndexOf(item);
    if (index != 0) RemoveItemsAt(1, index);
}

bool LArray::PopLastItem(void* outItem) {
    if (mItemCount == 0 || IsLocked()) return false;
    FetchItemAt(GetCount(), outItem);
    RemoveItemsAt(1, GetCount());
    return true;
}

bool LArray::SwapItems(int32_t index1, int32_t index2) {
    if (mKeepSorted || !ValidIndex(index1) || !ValidIndex(index2)) return false;
    if (index1 != index2) std::swap_ranges(Slot(index1), Slot(index1) + mItemSize, Slot(index2));
    mIsSorted = false;
    return true;
}

bool LArray::MoveItem(int32_t fromIndex, int32_t toIndex) {
    if (mKeepSorted || !ValidIndex(fromIndex) || !ValidIndex(toIndex) || fromIndex == toIndex)
        return false;
    if (fromIndex < toIndex)
        std::rotate(Slot(fromIndex), Slot(fromIndex) + mItemSize, Slot(toIndex) + mItemSize);
    else
        std::rotate(Slot(toIndex), Slot(fromIndex), Slot(fromIndex) + mItemSize);
    mIsSorted = false;
    return true;
}

void LArray::Sort() {
    if (IsLocked()) return;
    if (mItemCount > 1) {
        std::vector<int32_t> order(mItemCount);
        std::iota(order.begin(), order.end(), 1);
        {
            StPin pin(mLockCount);
            std::stable_sort(order.begin(), order.end(), [this](int32_t a, int32_t b) {
                return mComparator->Compare(Slot(a), Slot(b), mItemSize, mItemSize) < 0;
            });
        }
        std::vector<uint8_t> sorted(mStore.size());
        for (size_t i = 0; i < order.size(); ++i)
            std::memcpy(sorted.data() + i * mItemSize, Slot(order[i]), mItemSize);
        mStore.swap(sorted);
    }
    mIsSorted = true;
}

void LArray::SetKeepSorted(bool keepSorted) {
    mKeepSorted = keepSorted;
    if (mKeepSorted && !mIsSorted) Sort();
}

void LArray::SetComparator(LComparator* comparator, bool takeOwnership) {
    if (comparator == nullptr) {
        comparator = DefaultComparatorFor(mItemSize);
        takeOwnership = false;
    }
    if (comparator == mComparator) {
        mOwnsComparator = mOwnsComparator || takeOwnership;
        return;
    }
    ReleaseComparator();
    mComparator = comparator;
    mOwnsComparator = takeOwnership;
    mIsSorted = mItemCount <= 1;
    if (mKeepSorted) Sort();
}

void LArray::AttachIterator(LArrayIterator* iterator) const {
    iterator->mNextIterator = mIterators;
    mIterators = iterator;
}

void LArray::DetachIterator(LArrayIterator* iterator) const {
    LArrayIterator** link = &mIterators;
    while (*link != nullptr) {
        if (*link == iterator) {
            *link = iterator->mNextIterator;
            iterator->mNextIterator = nullptr;
            return;
        }
        link = &(*link)->mNextIterator;
    }
}

void LArray::ItemsInserted(int32_t count, int32_t index) {
    for (LArrayIterator* it = mIterators; it != nullptr; it = it->mNextIterator)
        it->ItemsInserted(count, index);
}

void LArray::ItemsRemoved(int32_t count, int32_t index) {
    for (LArrayIterator* it = mIterators; it != nullptr; it = it->mNextIterator)
        it->ItemsRemoved(count, index);
}

// ---- iterator ----

LArrayIterator::LArrayIterator(const LArray& array, Position position) : mArray(&array) {
    mArray->AttachIterator(this);
    ResetTo(position);
}

LArrayIterator::~LArrayIterator() {
    if (mArray) mArray->DetachIterator(this);
}

void LArrayIterator::ResetTo(Position position) {
    if (position == from_Start) {
        mCurrent = kBeforeFirst;
        mNext = 1;
    } else {
        mCurrent = kPastLast;
        mNext = kPastLast;
    }
}

bool LArrayIterator::Next(void* outItem) {
    if (mArray == nullptr) return false;
    int32_t index = mNext;
    if (mCurrent != kCurrentRemoved && mCurrent != kPastLast)
        index = mCurrent + 1;  // kBeforeFirst + 1 is the first item
    if (index >= 1 && index <= mArray->GetCount()) {
        mCurrent = index;
        mNext = index + 1;
        mArray->FetchItemAt(index, outItem);
        return true;
    }
    mCurrent = kPastLast;
    mNext = kPastLast;
    return false;
}

bool LArrayIterator::Previous(void* outItem) {
    if (mArray == nullptr) return false;
    int32_t index;
    if (mCurrent == kCurrentRemoved)
        index = (mNext == kPastLast) ? mArray->GetCount() : mNext - 1;
    else if (mCurrent == kPastLast)
        index = mArray->GetCount();
    else
        index = mCurrent - 1;
    if (index >= 1 && index <= mArray->GetCount()) {
        mCurrent = index;
        mNext = index + 1;
        mArray->FetchItemAt(index, outItem);
        return true;
    }
    mCurrent = kBeforeFirst;
    mNext = 1;
    return false;
}

bool LArrayIterator::Current(void* outItem) const {
    if (mArray == nullptr || mCurrent == kCurrentRemoved || mCurrent == kPastLast) return false;
    return mArray->FetchItemAt(mCurrent, outItem);
}

void LArrayIterator::ItemsInserted(int32_t count, int32_t index) {
    if (mCurrent == kCurrentRemoved) {
        if (mNext != kPastLast && index <= mNext) mNext += count;
    } else if (mCurrent != kBeforeFirst && mCurrent != kPastLast && index <= mCurrent) {
        mCurrent += count;
        mNext = mCurrent + 1;
    }
}

void LArrayIterator::ItemsRemoved(int32_t count, int32_t index) {
    const int32_t last = index + count - 1;  // last removed index
    const int32_t newCount = mArray->GetCount();
    if (mCurrent == kCurrentRemoved) {
        if (mNext == kPastLast) return;
        if (last < mNext)
            mNext -= count;
        else if (index <= mNext)
            mNext = index;
        if (mNext > newCount) mNext = kPastLast;
    } else if (mCurrent != kBeforeFirst && mCurrent != kPastLast) {
        if (index <= mCurrent && mCurrent <= last) {
            mCurrent = kCurrentRemoved;
            mNext = index > newCount ? kPastLast : index;
        } else if (last < mCurrent) {
            mCurrent -= count;
            mNext = mCurrent + 1;
        }
    }
}
