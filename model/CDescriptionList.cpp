#include "model/CDescriptionList.h"

CDescriptionList::~CDescriptionList() { DisposeAll(); }

int32_t CDescriptionList::Insert(int32_t index, std::unique_ptr<Handle> description) {
    const int32_t at = mItems.InsertItem(index, description.get());
    if (at != 0) description.release();
    return at;
}

std::unique_ptr<Handle> CDescriptionList::Take(int32_t index) {
    if (!mItems.ValidIndex(index)) return nullptr;
    std::unique_ptr<Handle> taken(mItems[index]);
    mItems.RemoveItemAt(index);
    return taken;
}

void CDescriptionList::DisposeAll() {
    Handle* description = nullptr;
    while (mItems.PopLast(description)) delete description;
}
