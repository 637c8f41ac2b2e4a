// An ordered set of object handles. Each operation is serialised on its own;
// a walk over several calls is not.
#pragma once

#include <mutex>
#include <vector>

#include "platform/kmdf/WdfObject.hpp"

namespace kmdf {

class WdfCollection final : public WdfObject {
  public:
    ~WdfCollection() override { DeleteChildren(); }

    NTSTATUS Add(WDFOBJECT object);
    void Remove(WDFOBJECT object);
    void RemoveItem(ULONG index);
    ULONG Count() const;
    WDFOBJECT Item(ULONG index) const;

  private:
    mutable std::mutex mutex_;
    std::vector<WDFOBJECT> items_;
};

/// Creates an empty collection under the attributes' parent (required).
NTSTATUS WdfCollectionCreate(const WDF_OBJECT_ATTRIBUTES* attributes, WDFCOLLECTION* collection);
NTSTATUS WdfCollectionAdd(WDFCOLLECTION collection, WDFOBJECT object);
void WdfCollectionRemove(WDFCOLLECTION collection, WDFOBJECT object);
void WdfCollectionRemoveItem(WDFCOLLECTION collection, ULONG index);
ULONG WdfCollectionGetCount(WDFCOLLECTION collection);
/// The object at `index`, or null past the end.
WDFOBJECT WdfCollectionGetItem(WDFCOLLECTION collection, ULONG index);

}  // namespace kmdf
