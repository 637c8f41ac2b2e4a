// A file object: one open handle on a device, with the name it was opened by.
// It stays alive while requests on it are outstanding.
#pragma once

#include <condition_variable>
#include <mutex>
#include <shared_mutex>
#include <string>

#include "platform/kmdf/WdfObject.hpp"

namespace kmdf {

class WdfFileObject final : public WdfObject {
  public:
    WdfFileObject(WDFDEVICE device, std::u16string name);
    ~WdfFileObject() override { DeleteChildren(); }

    WDFDEVICE Device() const { return device_; }
    PUNICODE_STRING FileName() { return &unicode_; }

    /// References held by requests and by user calls in progress.
    void Reference();
    void Dereference();
    /// Blocks until no reference is left.
    void WaitUnreferenced();

    /// Brackets the presentation of a request; false once the file is
    /// closing, so no request can reach the driver after its cleanup began.
    bool BeginDispatch();
    void EndDispatch();
    /// Waits for presentations in progress, then refuses new ones.
    void MarkClosing();
    bool IsClosing();

  private:
    WDFDEVICE device_;
    std::u16string name_;
    UNICODE_STRING unicode_;
    std::mutex mutex_;
    std::condition_variable released_;
    unsigned references_ = 0;
    std::shared_mutex rundown_;
    bool closing_ = false;
};

WDFDEVICE WdfFileObjectGetDevice(WDFFILEOBJECT fileObject);
/// The name after the device path ("\PIPE00"); Length 0 for the device itself.
PUNICODE_STRING WdfFileObjectGetFileName(WDFFILEOBJECT fileObject);

}  // namespace kmdf
