#include "platform/kmdf/WdfCollection.hpp"

#include <algorithm>

#include "platform/kmdf/Kernel.hpp"

namespace kmdf {

NTSTATUS WdfCollection::Add(WDFOBJECT object) {
    if (Kernel::Current().Faults().ShouldFail(FaultPoint::CollectionAdd)) {
        return STATUS_INSUFFICIENT_RESOURCES;
    }
    std::lock_guard lock(mutex_);
    items_.push_back(object);
    return STATUS_SUCCESS;
}

void WdfCollection::Remove(WDFOBJECT object) {
    std::lock_guard lock(mutex_);
    auto it = std::find(items_.begin(), items_.end(), object);
    if (it != items_.end()) {
        items_.erase(it);
    }
}

void WdfCollection::RemoveItem(ULONG index) {
    std::lock_guard lock(mutex_);
    if (index < items_.size()) {
        items_.erase(items_.begin() + index);
    }
}

ULONG WdfCollection::Count() const {
    std::lock_guard lock(mutex_);
    return static_cast<ULONG>(items_.size());
}

WDFOBJECT WdfCollection::Item(ULONG index) const {
    std::lock_guard lock(mutex_);
    return index < items_.size() ? items_[index] : nullptr;
}

NTSTATUS WdfCollectionCreate(const WDF_OBJECT_ATTRIBUTES* attributes, WDFCOLLECTION* collection) {
    *collection = nullptr;
    if (attributes == nullptr || attributes->ParentObject == nullptr) {
        return STATUS_INVALID_PARAMETER;
    }
    *collection = WdfCreateObject<WdfCollection>(attributes, nullptr);
    return STATUS_SUCCESS;
}

NTSTATUS WdfCollectionAdd(WDFCOLLECTION collection, WDFOBJECT object) {
    return collection->Add(object);
}
void WdfCollectionRemove(WDFCOLLECTION collection, WDFOBJECT object) {
    collection->Remove(object);
}
void WdfCollectionRemoveItem(WDFCOLLECTION collection, ULONG index) {
    collection->RemoveItem(index);
}
ULONG WdfCollectionGetCount(WDFCOLLECTION collection) {
    return collection->Count();
}
WDFOBJECT WdfCollectionGetItem(WDFCOLLECTION collection, ULONG index) {
    return collection->Item(index);
}

}  // namespace kmdf
