#include "platform/kmdf/WdfFileObject.hpp"

namespace kmdf {

WdfFileObject::WdfFileObject(WDFDEVICE device, std::u16string name)
    : device_(device), name_(std::move(name)) {
    unicode_.Length = static_cast<USHORT>(name_.size() * sizeof(WCHAR));
    unicode_.MaximumLength = unicode_.Length;
    unicode_.Buffer = name_.empty() ? nullptr : name_.data();
}

void WdfFileObject::Reference() {
    std::lock_guard lock(mutex_);
    ++references_;
}

void WdfFileObject::Dereference() {
    std::lock_guard lock(mutex_);
    if (--references_ == 0) {
        released_.notify_all();
    }
}

void WdfFileObject::WaitUnreferenced() {
    std::unique_lock lock(mutex_);
    released_.wait(lock, [&] { return references_ == 0; });
}

bool WdfFileObject::BeginDispatch() {
    rundown_.lock_shared();
    if (closing_) {
        rundown_.unlock_shared();
        return false;
    }
    return true;
}

void WdfFileObject::EndDispatch() {
    rundown_.unlock_shared();
}

void WdfFileObject::MarkClosing() {
    std::unique_lock lock(rundown_);
    closing_ = true;
}

bool WdfFileObject::IsClosing() {
    std::shared_lock lock(rundown_);
    return closing_;
}

WDFDEVICE WdfFileObjectGetDevice(WDFFILEOBJECT fileObject) {
    return fileObject->Device();
}

PUNICODE_STRING WdfFileObjectGetFileName(WDFFILEOBJECT fileObject) {
    return fileObject->FileName();
}

}  // namespace kmdf
