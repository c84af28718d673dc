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

std::vector<Handle> CDescriptionList::Copies() const {
    std::vector<Handle> copies;
    for (int32_t i = 1; i <= Count(); ++i) copies.push_back(Get(i) ? *Get(i) : Handle());
    return copies;
}
