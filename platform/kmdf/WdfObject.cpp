#include "platform/kmdf/WdfObject.hpp"

#include <cassert>

namespace kmdf {

WdfObject::~WdfObject() {
    DeleteChildren();
}

void WdfObject::DeleteChildren() {
    for (;;) {
        std::unique_ptr<WdfObject> youngest;
        {
            std::lock_guard lock(childrenMutex_);
            if (children_.empty()) {
                return;
            }
            youngest = std::move(children_.back());
            children_.pop_back();
        }
        // Destroyed outside the lock: its own children may call back into us.
    }
}

void WdfObject::ApplyAttributes(const WDF_OBJECT_ATTRIBUTES* attributes) {
    if (attributes == nullptr) {
        return;
    }
    executionLevel_ = attributes->ExecutionLevel;
    synchronizationScope_ = attributes->SynchronizationScope;
    if (attributes->ContextTypeInfo != nullptr) {
        context_ = attributes->ContextTypeInfo->Create();
        contextType_ = attributes->ContextTypeInfo->Type;
    }
}

void* WdfObject::Context(const std::type_info& type) const {
    assert(contextType_ != nullptr && *contextType_ == type && "object has no such context");
    if (contextType_ == nullptr || *contextType_ != type) {
        return nullptr;
    }
    return context_.get();
}

void WdfObject::AdoptObject(std::unique_ptr<WdfObject> child) {
    child->parent_ = this;
    std::lock_guard lock(childrenMutex_);
    children_.push_back(std::move(child));
}

std::unique_ptr<WdfObject> WdfObject::Release(WdfObject* child) {
    std::lock_guard lock(childrenMutex_);
    for (auto it = children_.begin(); it != children_.end(); ++it) {
        if (it->get() == child) {
            std::unique_ptr<WdfObject> owned = std::move(*it);
            children_.erase(it);
            return owned;
        }
    }
    return nullptr;
}

std::size_t WdfObject::ChildCount() const {
    std::lock_guard lock(childrenMutex_);
    return children_.size();
}

void WdfObjectDelete(WDFOBJECT object) {
    WdfObject* parent = object->Parent();
    assert(parent != nullptr && "root objects are deleted by their owner");
    std::unique_ptr<WdfObject> owned = parent->Release(object);
    assert(owned != nullptr);
}

}  // namespace kmdf
