// Typed dynamic array over LArray for trivially copyable items (values,
// pointers, plain records), with its iterator.
#pragma once

#include <type_traits>

#include "framework/LArray.h"
#include "framework/LException.h"

template <class T>
class TArray : public LArray {
    static_assert(std::is_trivially_copyable_v<T>, "TArray holds items by their bytes");

public:
    explicit TArray(LComparator* comparator = nullptr, bool keepSorted = false,
                    bool takeOwnership = false)
        : LArray(sizeof(T), comparator, keepSorted, takeOwnership) {}

    bool GetItem(int32_t index, T& outItem) const { return FetchItemAt(index, &outItem); }
    // The item at index, or a value-initialised T for an invalid index.
    T operator[](int32_t index) const {
        T item{};
        FetchItemAt(index, &item);
        return item;
    }
    // The item at index; throws LException(paramErr) for an invalid index.
    T At(int32_t index) const {
        T item{};
        if (!FetchItemAt(index, &item)) throw LException(paramErr, "array index out of range");
        return item;
    }

    int32_t IndexOf(const T& item) const { return FetchIndexOf(&item); }
    bool Contains(const T& item) const { return IndexOf(item) != 0; }
    int32_t Append(const T& item) { return AddItem(&item); }
    int32_t InsertItem(int32_t index, const T& item) { return InsertItemsAt(1, index, &item); }
    int32_t InsertItems(int32_t count, int32_t index, const T& item) {
        return InsertItemsAt(count, index, &item);
    }
    void RemoveItems(int32_t count, int32_t index) { RemoveItemsAt(count, index); }
    void RemoveItemAt(int32_t index) { RemoveItemsAt(1, index); }
    void Remove(const T& item) { RemoveItem(&item); }
    int32_t SetItem(int32_t index, const T& item) { return AssignItemsAt(1, index, &item); }
    int32_t SetItems(int32_t count, int32_t index, const T& item) {
        return AssignItemsAt(count, index, &item);
    }
    bool PopLast(T& outItem) { return PopLastItem(&outItem); }
    bool Swap(int32_t index1, int32_t index2) { return SwapItems(index1, index2); }
    bool Move(int32_t fromIndex, int32_t toIndex) { return MoveItem(fromIndex, toIndex); }
};

template <class T>
class TArrayIterator : public LArrayIterator {
public:
    explicit TArrayIterator(const TArray<T>& array, Position position = from_Start)
        : LArrayIterator(array, position) {}

    bool Next(T& outItem) { return LArrayIterator::Next(&outItem); }
    bool Previous(T& outItem) { return LArrayIterator::Previous(&outItem); }
    bool Current(T& outItem) const { return LArrayIterator::Current(&outItem); }
};
