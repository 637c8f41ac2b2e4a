// Brindle, the USB-CAN adapter's driver. It knows nothing of CAN: it exposes
// the adapter's USB pipes as files on its device interface, moves bytes over
// the bulk and interrupt pipes in stages, and answers six control requests.
//
// A handle is opened on "<interface path>\<name>"; the last run of decimal
// digits in the name selects the pipe ("PIPE00" pipe 0, "P1X" pipe 1,
// "PIPE257" pipe 1). An empty name opens the device itself. One process at a
// time owns the pipes; each pipe has at most one open handle.
#pragma once

#include "platform/kmdf/WdfConfig.hpp"
#include "platform/kmdf/WdfDriver.hpp"

namespace brindle {

kmdf::NTSTATUS DriverEntry(kmdf::PDRIVER_OBJECT driverObject, kmdf::PCUNICODE_STRING registryPath);

kmdf::NTSTATUS EvtDriverDeviceAdd(kmdf::WDFDRIVER driver, kmdf::PWDFDEVICE_INIT deviceInit);
kmdf::NTSTATUS EvtDevicePrepareHardware(kmdf::WDFDEVICE device, kmdf::WDFCMRESLIST resourcesRaw,
                                        kmdf::WDFCMRESLIST resourcesTranslated);
kmdf::NTSTATUS EvtDeviceReleaseHardware(kmdf::WDFDEVICE device,
                                        kmdf::WDFCMRESLIST resourcesTranslated);
void EvtDeviceFileCreate(kmdf::WDFDEVICE device, kmdf::WDFREQUEST request,
                         kmdf::WDFFILEOBJECT fileObject);
void EvtFileClose(kmdf::WDFFILEOBJECT fileObject);
void EvtFileCleanup(kmdf::WDFFILEOBJECT fileObject);

/// Bound to both EvtIoRead and EvtIoWrite of the default queue.
void EvtIoReadWrite(kmdf::WDFQUEUE queue, kmdf::WDFREQUEST request, std::size_t length);
/// Runs when a stage completes at the USB stack; starts the next stage or
/// completes the request. `context` is the pipe.
void ReadWriteStageCompletion(kmdf::WDFREQUEST request, kmdf::WDFIOTARGET target,
                              kmdf::PWDF_REQUEST_COMPLETION_PARAMS params,
                              kmdf::WDFCONTEXT context);
void EvtIoDeviceControl(kmdf::WDFQUEUE queue, kmdf::WDFREQUEST request,
                        std::size_t outputBufferLength, std::size_t inputBufferLength,
                        kmdf::ULONG ioControlCode);

}  // namespace brindle
