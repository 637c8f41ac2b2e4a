// Object attributes: the parent, the execution level and synchronisation
// scope, and the typed context every object of a kind carries.
#pragma once

#include <memory>
#include <typeinfo>

#include "platform/kmdf/WdfTypes.hpp"

namespace kmdf {

/// Describes a context type; one static instance per type.
struct WDF_OBJECT_CONTEXT_TYPE_INFO {
    const char* ContextName;
    std::size_t ContextSize;
    const std::type_info* Type;
    std::shared_ptr<void> (*Create)();
};

template <class T>
const WDF_OBJECT_CONTEXT_TYPE_INFO* WdfGetContextTypeInfo() {
    static const WDF_OBJECT_CONTEXT_TYPE_INFO info{
        typeid(T).name(), sizeof(T), &typeid(T),
        [] { return std::shared_ptr<void>(std::make_shared<T>()); }};
    return &info;
}

struct WDF_OBJECT_ATTRIBUTES {
    WDF_EXECUTION_LEVEL ExecutionLevel = WdfExecutionLevelInheritFromParent;
    WDF_SYNCHRONIZATION_SCOPE SynchronizationScope = WdfSynchronizationScopeInheritFromParent;
    WDFOBJECT ParentObject = nullptr;
    const WDF_OBJECT_CONTEXT_TYPE_INFO* ContextTypeInfo = nullptr;
};
using PWDF_OBJECT_ATTRIBUTES = WDF_OBJECT_ATTRIBUTES*;

inline constexpr PWDF_OBJECT_ATTRIBUTES WDF_NO_OBJECT_ATTRIBUTES = nullptr;

/// No parent, no context, execution level and scope inherited from the parent.
inline void WDF_OBJECT_ATTRIBUTES_INIT(PWDF_OBJECT_ATTRIBUTES attributes) {
    *attributes = WDF_OBJECT_ATTRIBUTES{};
}

/// As WDF_OBJECT_ATTRIBUTES_INIT, with a zero-initialised context of type T.
template <class T>
void WDF_OBJECT_ATTRIBUTES_INIT_CONTEXT_TYPE(PWDF_OBJECT_ATTRIBUTES attributes) {
    WDF_OBJECT_ATTRIBUTES_INIT(attributes);
    attributes->ContextTypeInfo = WdfGetContextTypeInfo<T>();
}

}  // namespace kmdf
