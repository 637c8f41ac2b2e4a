// The selected interface and its configured pipes.
#pragma once

#include <vector>

#include "platform/kmdf/WdfObject.hpp"

namespace kmdf {

struct WDF_USB_PIPE_INFORMATION;

class WdfUsbInterface final : public WdfObject {
  public:
    WdfUsbInterface(UCHAR number, UCHAR settingIndex)
        : number_(number), settingIndex_(settingIndex) {}
    ~WdfUsbInterface() override { DeleteChildren(); }

    UCHAR Number() const { return number_; }
    UCHAR SettingIndex() const { return settingIndex_; }
    void AddPipe(WDFUSBPIPE pipe) { pipes_.push_back(pipe); }
    const std::vector<WDFUSBPIPE>& Pipes() const { return pipes_; }
    void SetConfigured(bool configured);
    bool IsConfigured() const { return configured_; }

  private:
    UCHAR number_;
    UCHAR settingIndex_;
    bool configured_ = false;
    std::vector<WDFUSBPIPE> pipes_;
};

/// The number of configured pipes; 0 while the device is deconfigured.
UCHAR WdfUsbInterfaceGetNumConfiguredPipes(WDFUSBINTERFACE usbInterface);
/// The configured pipe at `pipeIndex` (filling `pipeInfo` if given), or null.
WDFUSBPIPE WdfUsbInterfaceGetConfiguredPipe(WDFUSBINTERFACE usbInterface, UCHAR pipeIndex,
                                            WDF_USB_PIPE_INFORMATION* pipeInfo);
UCHAR WdfUsbInterfaceGetInterfaceNumber(WDFUSBINTERFACE usbInterface);

}  // namespace kmdf
