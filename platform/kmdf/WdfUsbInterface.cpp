#include "platform/kmdf/WdfUsbInterface.hpp"

#include "platform/kmdf/WdfUsbTargetPipe.hpp"

namespace kmdf {

void WdfUsbInterface::SetConfigured(bool configured) {
    configured_ = configured;
    for (WDFUSBPIPE pipe : pipes_) {
        pipe->SetConfigured(configured);
    }
}

UCHAR WdfUsbInterfaceGetNumConfiguredPipes(WDFUSBINTERFACE usbInterface) {
    return usbInterface->IsConfigured() ? static_cast<UCHAR>(usbInterface->Pipes().size()) : 0;
}

WDFUSBPIPE WdfUsbInterfaceGetConfiguredPipe(WDFUSBINTERFACE usbInterface, UCHAR pipeIndex,
                                            WDF_USB_PIPE_INFORMATION* pipeInfo) {
    if (!usbInterface->IsConfigured() || pipeIndex >= usbInterface->Pipes().size()) {
        return nullptr;
    }
    WDFUSBPIPE pipe = usbInterface->Pipes()[pipeIndex];
    if (pipeInfo != nullptr) {
        *pipeInfo = pipe->Information();
    }
    return pipe;
}

UCHAR WdfUsbInterfaceGetInterfaceNumber(WDFUSBINTERFACE usbInterface) {
    return usbInterface->Number();
}

}  // namespace kmdf
