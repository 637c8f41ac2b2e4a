// Configuration and parameter records that drivers fill in and pass to the
// framework, with their initialisers.
#pragma once

#include <cstddef>

#include "platform/kmdf/Urb.hpp"
#include "platform/kmdf/WdfTypes.hpp"

namespace kmdf {

struct WDF_DRIVER_CONFIG {
    PFN_WDF_DRIVER_DEVICE_ADD EvtDriverDeviceAdd = nullptr;
    PFN_WDF_DRIVER_UNLOAD EvtDriverUnload = nullptr;
    ULONG DriverInitFlags = 0;
    ULONG DriverPoolTag = 0;
};
inline void WDF_DRIVER_CONFIG_INIT(WDF_DRIVER_CONFIG* config, PFN_WDF_DRIVER_DEVICE_ADD add) {
    *config = WDF_DRIVER_CONFIG{};
    config->EvtDriverDeviceAdd = add;
}

struct WDF_PNPPOWER_EVENT_CALLBACKS {
    PFN_WDF_DEVICE_PREPARE_HARDWARE EvtDevicePrepareHardware = nullptr;
    PFN_WDF_DEVICE_RELEASE_HARDWARE EvtDeviceReleaseHardware = nullptr;
};
inline void WDF_PNPPOWER_EVENT_CALLBACKS_INIT(WDF_PNPPOWER_EVENT_CALLBACKS* callbacks) {
    *callbacks = WDF_PNPPOWER_EVENT_CALLBACKS{};
}

struct WDF_FILEOBJECT_CONFIG {
    PFN_WDF_DEVICE_FILE_CREATE EvtDeviceFileCreate = nullptr;
    PFN_WDF_FILE_CLOSE EvtFileClose = nullptr;
    PFN_WDF_FILE_CLEANUP EvtFileCleanup = nullptr;
    WDF_TRI_STATE AutoForwardCleanupClose = WdfUseDefault;
    WDF_FILEOBJECT_CLASS FileObjectClass = WdfFileObjectWdfCannotUseFsContexts;
};
inline void WDF_FILEOBJECT_CONFIG_INIT(WDF_FILEOBJECT_CONFIG* config,
                                       PFN_WDF_DEVICE_FILE_CREATE create, PFN_WDF_FILE_CLOSE close,
                                       PFN_WDF_FILE_CLEANUP cleanup) {
    *config = WDF_FILEOBJECT_CONFIG{create, close, cleanup};
}

struct WDF_DEVICE_PNP_CAPABILITIES {
    WDF_TRI_STATE LockSupported = WdfUseDefault;
    WDF_TRI_STATE EjectSupported = WdfUseDefault;
    WDF_TRI_STATE Removable = WdfUseDefault;
    WDF_TRI_STATE DockDevice = WdfUseDefault;
    WDF_TRI_STATE UniqueID = WdfUseDefault;
    WDF_TRI_STATE SilentInstall = WdfUseDefault;
    WDF_TRI_STATE SurpriseRemovalOK = WdfUseDefault;
    WDF_TRI_STATE HardwareDisabled = WdfUseDefault;
    WDF_TRI_STATE NoDisplayInUI = WdfUseDefault;
    ULONG Address = 0xFFFFFFFF;
    ULONG UINumber = 0xFFFFFFFF;
};
inline void WDF_DEVICE_PNP_CAPABILITIES_INIT(WDF_DEVICE_PNP_CAPABILITIES* caps) {
    *caps = WDF_DEVICE_PNP_CAPABILITIES{};
}

struct WDF_IO_QUEUE_CONFIG {
    WDF_IO_QUEUE_DISPATCH_TYPE DispatchType = WdfIoQueueDispatchInvalid;
    WDF_TRI_STATE PowerManaged = WdfUseDefault;
    BOOLEAN AllowZeroLengthRequests = false;
    BOOLEAN DefaultQueue = false;
    PFN_WDF_IO_QUEUE_IO_READ EvtIoRead = nullptr;
    PFN_WDF_IO_QUEUE_IO_WRITE EvtIoWrite = nullptr;
    PFN_WDF_IO_QUEUE_IO_DEVICE_CONTROL EvtIoDeviceControl = nullptr;
    /// -1: no limit on the requests presented at once.
    LONG NumberOfPresentedRequests = -1;
};
inline void WDF_IO_QUEUE_CONFIG_INIT_DEFAULT_QUEUE(WDF_IO_QUEUE_CONFIG* config,
                                                   WDF_IO_QUEUE_DISPATCH_TYPE dispatchType) {
    *config = WDF_IO_QUEUE_CONFIG{};
    config->DispatchType = dispatchType;
    config->DefaultQueue = true;
}

struct WDF_REQUEST_PARAMETERS {
    WDF_REQUEST_TYPE Type = WdfRequestTypeCreate;
    /// Read and write length.
    std::size_t Length = 0;
    std::size_t OutputBufferLength = 0;
    std::size_t InputBufferLength = 0;
    ULONG IoControlCode = 0;
};
inline void WDF_REQUEST_PARAMETERS_INIT(WDF_REQUEST_PARAMETERS* parameters) {
    *parameters = WDF_REQUEST_PARAMETERS{};
}

struct WDF_USB_REQUEST_COMPLETION_PARAMS {
    USBD_STATUS UsbdStatus = USBD_STATUS_SUCCESS;
};

struct WDF_REQUEST_COMPLETION_PARAMS {
    WDF_REQUEST_TYPE Type = WdfRequestTypeUsb;
    IO_STATUS_BLOCK IoStatus;
    struct {
        struct {
            WDF_USB_REQUEST_COMPLETION_PARAMS* Completion = nullptr;
        } Usb;
    } Parameters;
};
using PWDF_REQUEST_COMPLETION_PARAMS = WDF_REQUEST_COMPLETION_PARAMS*;
using PFN_WDF_REQUEST_COMPLETION_ROUTINE = void (*)(WDFREQUEST request, WDFIOTARGET target,
                                                    PWDF_REQUEST_COMPLETION_PARAMS params,
                                                    WDFCONTEXT context);

inline constexpr ULONG WDF_REQUEST_SEND_OPTION_TIMEOUT = 0x1;
struct WDF_REQUEST_SEND_OPTIONS {
    ULONG Flags = 0;
    /// Negative: relative, in 100-ns units.
    LONGLONG Timeout = 0;
};
inline constexpr WDF_REQUEST_SEND_OPTIONS* WDF_NO_SEND_OPTIONS = nullptr;
inline void WDF_REQUEST_SEND_OPTIONS_INIT(WDF_REQUEST_SEND_OPTIONS* options, ULONG flags) {
    *options = WDF_REQUEST_SEND_OPTIONS{flags, 0};
}
inline void WDF_REQUEST_SEND_OPTIONS_SET_TIMEOUT(WDF_REQUEST_SEND_OPTIONS* options,
                                                 LONGLONG timeout) {
    options->Flags |= WDF_REQUEST_SEND_OPTION_TIMEOUT;
    options->Timeout = timeout;
}
constexpr LONGLONG WDF_REL_TIMEOUT_IN_MS(LONGLONG ms) {
    return -ms * 10000;
}

struct WDF_MEMORY_DESCRIPTOR {
    PVOID Buffer = nullptr;
    ULONG Length = 0;
};
inline void WDF_MEMORY_DESCRIPTOR_INIT_BUFFER(WDF_MEMORY_DESCRIPTOR* descriptor, PVOID buffer,
                                              ULONG length) {
    *descriptor = WDF_MEMORY_DESCRIPTOR{buffer, length};
}

/// The framework's description of a configured pipe (20 bytes).
struct WDF_USB_PIPE_INFORMATION {
    ULONG Size = sizeof(WDF_USB_PIPE_INFORMATION);
    ULONG MaximumPacketSize = 0;
    UCHAR EndpointAddress = 0;
    UCHAR Interval = 0;
    UCHAR SettingIndex = 0;
    WDF_USB_PIPE_TYPE PipeType = WdfUsbPipeTypeInvalid;
    ULONG MaximumTransferSize = 0;
};
static_assert(sizeof(WDF_USB_PIPE_INFORMATION) == 20);
static_assert(offsetof(WDF_USB_PIPE_INFORMATION, EndpointAddress) == 8);
static_assert(offsetof(WDF_USB_PIPE_INFORMATION, PipeType) == 12);
static_assert(offsetof(WDF_USB_PIPE_INFORMATION, MaximumTransferSize) == 16);
inline void WDF_USB_PIPE_INFORMATION_INIT(WDF_USB_PIPE_INFORMATION* info) {
    *info = WDF_USB_PIPE_INFORMATION{};
}

enum WdfUsbTargetDeviceSelectConfigType {
    WdfUsbTargetDeviceSelectConfigTypeInvalid = 0,
    WdfUsbTargetDeviceSelectConfigTypeDeconfig,
    WdfUsbTargetDeviceSelectConfigTypeSingleInterface,
};

struct WDF_USB_DEVICE_SELECT_CONFIG_PARAMS {
    WdfUsbTargetDeviceSelectConfigType Type = WdfUsbTargetDeviceSelectConfigTypeInvalid;
    struct {
        struct {
            UCHAR NumberConfiguredPipes = 0;
            WDFUSBINTERFACE ConfiguredUsbInterface = nullptr;
        } SingleInterface;
    } Types;
};
inline void WDF_USB_DEVICE_SELECT_CONFIG_PARAMS_INIT_SINGLE_INTERFACE(
    WDF_USB_DEVICE_SELECT_CONFIG_PARAMS* params) {
    *params = WDF_USB_DEVICE_SELECT_CONFIG_PARAMS{};
    params->Type = WdfUsbTargetDeviceSelectConfigTypeSingleInterface;
}
inline void WDF_USB_DEVICE_SELECT_CONFIG_PARAMS_INIT_DECONFIG(
    WDF_USB_DEVICE_SELECT_CONFIG_PARAMS* params) {
    *params = WDF_USB_DEVICE_SELECT_CONFIG_PARAMS{};
    params->Type = WdfUsbTargetDeviceSelectConfigTypeDeconfig;
}

struct WDF_USB_DEVICE_INFORMATION {
    struct {
        ULONG USBDI_Version = 0;
        ULONG Supported_USB_Version = 0;
    } UsbdVersionInformation;
    ULONG HcdPortCapabilities = 0;
    ULONG Traits = 0;
};
inline void WDF_USB_DEVICE_INFORMATION_INIT(WDF_USB_DEVICE_INFORMATION* info) {
    *info = WDF_USB_DEVICE_INFORMATION{};
}

struct WDF_USB_CONTROL_SETUP_PACKET {
    UsbSetupPacket Packet;
};

}  // namespace kmdf
