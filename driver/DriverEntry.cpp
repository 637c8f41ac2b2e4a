#include "driver/Brindle.hpp"
#include "driver/BrindleContexts.hpp"
#include "platform/kmdf/WdfCollection.hpp"
#include "platform/kmdf/WdfDevice.hpp"
#include "platform/kmdf/WdfDeviceInit.hpp"
#include "platform/kmdf/WdfIoQueue.hpp"
#include "platform/kmdf/WdfWaitLock.hpp"

namespace brindle {

using namespace kmdf;

NTSTATUS DriverEntry(PDRIVER_OBJECT driverObject, PCUNICODE_STRING registryPath) {
    WDF_DRIVER_CONFIG config;
    WDF_DRIVER_CONFIG_INIT(&config, EvtDriverDeviceAdd);
    return WdfDriverCreate(driverObject, registryPath, WDF_NO_OBJECT_ATTRIBUTES, &config, nullptr);
}

namespace {

void SetUpDeviceInit(PWDFDEVICE_INIT deviceInit) {
    WDF_PNPPOWER_EVENT_CALLBACKS pnpPower;
    WDF_PNPPOWER_EVENT_CALLBACKS_INIT(&pnpPower);
    pnpPower.EvtDevicePrepareHardware = EvtDevicePrepareHardware;
    pnpPower.EvtDeviceReleaseHardware = EvtDeviceReleaseHardware;
    WdfDeviceInitSetPnpPowerEventCallbacks(deviceInit, &pnpPower);

    WDF_OBJECT_ATTRIBUTES requestAttributes;
    WDF_OBJECT_ATTRIBUTES_INIT_CONTEXT_TYPE<REQUEST_CONTEXT>(&requestAttributes);
    WdfDeviceInitSetRequestAttributes(deviceInit, &requestAttributes);

    WDF_FILEOBJECT_CONFIG fileConfig;
    WDF_FILEOBJECT_CONFIG_INIT(&fileConfig, EvtDeviceFileCreate, EvtFileClose, EvtFileCleanup);
    fileConfig.FileObjectClass = WdfFileObjectWdfCannotUseFsContexts;
    WDF_OBJECT_ATTRIBUTES fileAttributes;
    WDF_OBJECT_ATTRIBUTES_INIT_CONTEXT_TYPE<FILE_CONTEXT>(&fileAttributes);
    WdfDeviceInitSetFileObjectConfig(deviceInit, &fileConfig, &fileAttributes);

    WdfDeviceInitSetIoType(deviceInit, WdfDeviceIoDirect);
}

NTSTATUS CreateOwnershipState(WDFDEVICE device, DEVICE_CONTEXT* context) {
    context->OwnerProcess = 0;
    WDF_OBJECT_ATTRIBUTES attributes;
    WDF_OBJECT_ATTRIBUTES_INIT(&attributes);
    attributes.ParentObject = device;
    NTSTATUS status = WdfCollectionCreate(&attributes, &context->OpenPipeSet);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    return WdfWaitLockCreate(&attributes, &context->OwnershipLock);
}

NTSTATUS CreateDefaultQueue(WDFDEVICE device) {
    WDF_IO_QUEUE_CONFIG queueConfig;
    WDF_IO_QUEUE_CONFIG_INIT_DEFAULT_QUEUE(&queueConfig, WdfIoQueueDispatchParallel);
    queueConfig.EvtIoRead = EvtIoReadWrite;
    queueConfig.EvtIoWrite = EvtIoReadWrite;
    queueConfig.EvtIoDeviceControl = EvtIoDeviceControl;
    queueConfig.AllowZeroLengthRequests = false;
    WDFQUEUE queue = nullptr;
    return WdfIoQueueCreate(device, &queueConfig, WDF_NO_OBJECT_ATTRIBUTES, &queue);
}

}  // namespace

NTSTATUS EvtDriverDeviceAdd(WDFDRIVER, PWDFDEVICE_INIT deviceInit) {
    SetUpDeviceInit(deviceInit);

    WDF_OBJECT_ATTRIBUTES deviceAttributes;
    WDF_OBJECT_ATTRIBUTES_INIT_CONTEXT_TYPE<DEVICE_CONTEXT>(&deviceAttributes);
    WDFDEVICE device = nullptr;
    NTSTATUS status = WdfDeviceCreate(&deviceInit, &deviceAttributes, &device);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    status = CreateOwnershipState(device, GetDeviceContext(device));
    if (!NT_SUCCESS(status)) {
        return status;
    }

    WDF_DEVICE_PNP_CAPABILITIES caps;
    WDF_DEVICE_PNP_CAPABILITIES_INIT(&caps);
    caps.SurpriseRemovalOK = WdfTrue;
    caps.Address = 0xFFFFFFFF;
    caps.UINumber = 0xFFFFFFFF;
    WdfDeviceSetPnpCapabilities(device, &caps);

    status = CreateDefaultQueue(device);
    if (!NT_SUCCESS(status)) {
        return status;
    }
    return WdfDeviceCreateDeviceInterface(device, &BRINDLE_INTERFACE_CLASS, nullptr);
}

}  // namespace brindle
