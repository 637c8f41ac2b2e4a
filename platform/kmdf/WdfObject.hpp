// The base of every framework object: a typed context, a parent and the
// children whose lifetime it bounds.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/kmdf/WdfObjectAttributes.hpp"

namespace kmdf {

class WdfObject {
  public:
    WdfObject() = default;
    virtual ~WdfObject();
    WdfObject(const WdfObject&) = delete;
    WdfObject& operator=(const WdfObject&) = delete;

    WdfObject* Parent() const { return parent_; }
    /// Attaches the context and execution settings described by `attributes`.
    void ApplyAttributes(const WDF_OBJECT_ATTRIBUTES* attributes);
    /// The context if it is of type `type`, else null.
    void* Context(const std::type_info& type) const;
    WDF_EXECUTION_LEVEL ExecutionLevel() const { return executionLevel_; }
    WDF_SYNCHRONIZATION_SCOPE SynchronizationScope() const { return synchronizationScope_; }

    /// Takes ownership of `child`; it lives until this object is deleted or
    /// until it is deleted itself.
    template <class T>
    T* Adopt(std::unique_ptr<T> child) {
        T* raw = child.get();
        AdoptObject(std::move(child));
        return raw;
    }
    void AdoptObject(std::unique_ptr<WdfObject> child);
    /// Removes `child` from the children and returns it; null if not a child.
    std::unique_ptr<WdfObject> Release(WdfObject* child);
    std::size_t ChildCount() const;

  protected:
    /// Deletes the children now, youngest first; derived destructors call it
    /// so that children go before the members they may refer to.
    void DeleteChildren();

  private:
    WdfObject* parent_ = nullptr;
    std::shared_ptr<void> context_;
    const std::type_info* contextType_ = nullptr;
    WDF_EXECUTION_LEVEL executionLevel_ = WdfExecutionLevelInheritFromParent;
    WDF_SYNCHRONIZATION_SCOPE synchronizationScope_ = WdfSynchronizationScopeInheritFromParent;
    mutable std::mutex childrenMutex_;
    std::vector<std::unique_ptr<WdfObject>> children_;
};

/// The typed context of `object`; a context of another type is a programming error.
template <class T>
T* WdfObjectGetTypedContext(const WdfObject* object) {
    return static_cast<T*>(object->Context(typeid(T)));
}

/// Creates an object of type T under the parent named by `attributes` (or
/// `defaultParent` when the attributes name none) and applies the attributes.
template <class T, class... Args>
T* WdfCreateObject(const WDF_OBJECT_ATTRIBUTES* attributes, WdfObject* defaultParent,
                   Args&&... args) {
    WdfObject* parent = (attributes != nullptr && attributes->ParentObject != nullptr)
                            ? attributes->ParentObject
                            : defaultParent;
    auto object = std::make_unique<T>(std::forward<Args>(args)...);
    object->ApplyAttributes(attributes);
    return parent->Adopt(std::move(object));
}

/// Deletes `object` and all its children.
void WdfObjectDelete(WDFOBJECT object);

}  // namespace kmdf
