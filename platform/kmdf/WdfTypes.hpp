// Handles, enumerations and callback shapes of the framework layer. Handles
// are non-owning pointers to framework objects: the framework owns every
// object through its parent, and deleting a parent deletes its children.
#pragma once

#include <cstddef>

#include "platform/kmdf/KernelTypes.hpp"
#include "platform/kmdf/NtStatus.hpp"

namespace kmdf {

class WdfObject;
class WdfDriver;
class WdfDevice;
class WdfIoQueue;
class WdfFileObject;
class WdfRequest;
class WdfMemory;
class WdfCollection;
class WdfWaitLock;
class WdfIoTarget;
class WdfUsbTargetDevice;
class WdfUsbInterface;
class WdfUsbTargetPipe;
class WdfCmResList;
struct WdfDeviceInit;
struct DRIVER_OBJECT;

using WDFOBJECT = WdfObject*;
using WDFDRIVER = WdfDriver*;
using WDFDEVICE = WdfDevice*;
using WDFQUEUE = WdfIoQueue*;
using WDFFILEOBJECT = WdfFileObject*;
using WDFREQUEST = WdfRequest*;
using WDFMEMORY = WdfMemory*;
using WDFCOLLECTION = WdfCollection*;
using WDFWAITLOCK = WdfWaitLock*;
using WDFIOTARGET = WdfIoTarget*;
using WDFUSBDEVICE = WdfUsbTargetDevice*;
using WDFUSBINTERFACE = WdfUsbInterface*;
using WDFUSBPIPE = WdfUsbTargetPipe*;
using WDFCMRESLIST = WdfCmResList*;
using PWDFDEVICE_INIT = WdfDeviceInit*;
using PDRIVER_OBJECT = DRIVER_OBJECT*;
using WDFCONTEXT = void*;

enum WDF_TRI_STATE { WdfFalse = 0, WdfTrue = 1, WdfUseDefault = 2 };

enum WDF_EXECUTION_LEVEL {
    WdfExecutionLevelInvalid = 0,
    WdfExecutionLevelInheritFromParent,
    WdfExecutionLevelPassive,
    WdfExecutionLevelDispatch,
};

enum WDF_SYNCHRONIZATION_SCOPE {
    WdfSynchronizationScopeInvalid = 0,
    WdfSynchronizationScopeInheritFromParent,
    WdfSynchronizationScopeDevice,
    WdfSynchronizationScopeQueue,
    WdfSynchronizationScopeNone,
};

enum WDF_DEVICE_IO_TYPE {
    WdfDeviceIoUndefined = 0,
    WdfDeviceIoNeither,
    WdfDeviceIoBuffered,
    WdfDeviceIoDirect,
};

enum WDF_FILEOBJECT_CLASS {
    WdfFileObjectInvalid = 0,
    WdfFileObjectNotRequired,
    WdfFileObjectWdfCanUseFsContexts,
    WdfFileObjectWdfCanUseFsContext2,
    WdfFileObjectWdfCannotUseFsContexts,
};

enum WDF_IO_QUEUE_DISPATCH_TYPE {
    WdfIoQueueDispatchInvalid = 0,
    WdfIoQueueDispatchSequential,
    WdfIoQueueDispatchParallel,
    WdfIoQueueDispatchManual,
};

enum WDF_REQUEST_TYPE {
    WdfRequestTypeCreate = 0x0,
    WdfRequestTypeClose = 0x2,
    WdfRequestTypeRead = 0x3,
    WdfRequestTypeWrite = 0x4,
    WdfRequestTypeDeviceControl = 0xE,
    WdfRequestTypeCleanup = 0x12,
    WdfRequestTypeUsb = 0x104,
};

enum WDF_IO_TARGET_SENT_IO_ACTION {
    WdfIoTargetSentIoUndefined = 0,
    WdfIoTargetCancelSentIo,
    WdfIoTargetWaitForSentIoToComplete,
    WdfIoTargetLeaveSentIoPending,
};

enum WDF_USB_PIPE_TYPE {
    WdfUsbPipeTypeInvalid = 0,
    WdfUsbPipeTypeControl = 1,
    WdfUsbPipeTypeIsochronous = 2,
    WdfUsbPipeTypeBulk = 3,
    WdfUsbPipeTypeInterrupt = 4,
};

using PFN_WDF_DRIVER_DEVICE_ADD = NTSTATUS (*)(WDFDRIVER driver, PWDFDEVICE_INIT deviceInit);
using PFN_WDF_DRIVER_UNLOAD = void (*)(WDFDRIVER driver);
using PFN_WDF_DEVICE_PREPARE_HARDWARE = NTSTATUS (*)(WDFDEVICE device, WDFCMRESLIST raw,
                                                     WDFCMRESLIST translated);
using PFN_WDF_DEVICE_RELEASE_HARDWARE = NTSTATUS (*)(WDFDEVICE device, WDFCMRESLIST translated);
using PFN_WDF_DEVICE_FILE_CREATE = void (*)(WDFDEVICE device, WDFREQUEST request,
                                            WDFFILEOBJECT fileObject);
using PFN_WDF_FILE_CLOSE = void (*)(WDFFILEOBJECT fileObject);
using PFN_WDF_FILE_CLEANUP = void (*)(WDFFILEOBJECT fileObject);
using PFN_WDF_IO_QUEUE_IO_READ = void (*)(WDFQUEUE queue, WDFREQUEST request, std::size_t length);
using PFN_WDF_IO_QUEUE_IO_WRITE = void (*)(WDFQUEUE queue, WDFREQUEST request, std::size_t length);
using PFN_WDF_IO_QUEUE_IO_DEVICE_CONTROL = void (*)(WDFQUEUE queue, WDFREQUEST request,
                                                    std::size_t outputBufferLength,
                                                    std::size_t inputBufferLength,
                                                    ULONG ioControlCode);

}  // namespace kmdf
