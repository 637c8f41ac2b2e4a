#include <thread>

#include "platform/kmdf/WdfFileObject.hpp"
#include "tests/driver/BrindleFixture.hpp"

namespace brindle::test {
namespace {

using namespace kmdf;
using Bytes = std::vector<std::uint8_t>;

class LifecycleTest : public BrindleFixture {};

TEST_F(LifecycleTest, StopCancelsEveryRequestInFlight) {
    bus->ScriptFault(BULK_IN, TransferFault::Hold());
    bus->ScriptFault(INTERRUPT_IN, TransferFault::Hold());
    const UserHandle bulk = OpenOrFail(PROCESS_A, "PIPE0");
    const UserHandle interrupt = OpenOrFail(PROCESS_A, "PIPE2");
    Bytes first(65536);
    Bytes second(10000);
    auto bulkRead = api.BeginRead(PROCESS_A, bulk, first);
    auto interruptRead = api.BeginRead(PROCESS_A, interrupt, second);
    ASSERT_TRUE(bus->WaitForHeld(2));

    EXPECT_EQ(host.StopDevice(device), STATUS_SUCCESS);
    EXPECT_EQ(bulkRead->Wait().status, STATUS_CANCELLED);
    EXPECT_EQ(interruptRead->Wait().status, STATUS_CANCELLED);
    EXPECT_EQ(bulkRead->Completions(), 1);
    EXPECT_EQ(interruptRead->Completions(), 1);
    EXPECT_EQ(bus->Stats().submitted, 2U);
}

TEST_F(LifecycleTest, RequestsArrivingWhileStoppedWaitForTheRestart) {
    const UserHandle bulk = OpenOrFail(PROCESS_A, "PIPE0");
    const UserHandle deviceHandle = OpenOrFail(PROCESS_A, "");
    ASSERT_EQ(host.StopDevice(device), STATUS_SUCCESS);
    Bytes data(100);
    Bytes count(1);
    auto read = api.BeginRead(PROCESS_A, bulk, data);
    auto control =
        api.BeginDeviceIoControl(PROCESS_A, deviceHandle, IOCTL_ADAPTER_GET_PIPE_COUNT, {}, count);
    EXPECT_FALSE(read->IsDone());
    EXPECT_FALSE(control->IsDone());
    EXPECT_EQ(host.GetKernel().Stats().presentedToDriver, 0U);

    ASSERT_EQ(host.StartDevice(device), STATUS_SUCCESS);
    EXPECT_EQ(read->Wait().status, STATUS_SUCCESS);
    EXPECT_EQ(read->Wait().information, 100U);
    EXPECT_EQ(data[99], PatternFunction::PatternByte(0, 99));
    EXPECT_EQ(control->Wait().status, STATUS_SUCCESS);
    EXPECT_EQ(count[0], 4);
}

TEST_F(LifecycleTest, ClosingAHandleCancelsItsRequestsWaitingForTheRestart) {
    const UserHandle bulk = OpenOrFail(PROCESS_A, "PIPE0");
    const UserHandle interrupt = OpenOrFail(PROCESS_A, "PIPE2");
    ASSERT_EQ(host.StopDevice(device), STATUS_SUCCESS);
    Bytes first(100);
    Bytes second(100);
    auto bulkRead = api.BeginRead(PROCESS_A, bulk, first);
    auto interruptRead = api.BeginRead(PROCESS_A, interrupt, second);

    EXPECT_EQ(api.CloseHandle(PROCESS_A, bulk), STATUS_SUCCESS);
    EXPECT_TRUE(bulkRead->IsDone());
    EXPECT_EQ(bulkRead->Wait().status, STATUS_CANCELLED);
    EXPECT_FALSE(interruptRead->IsDone());
    ASSERT_EQ(host.StartDevice(device), STATUS_SUCCESS);
    EXPECT_EQ(interruptRead->Wait().status, STATUS_SUCCESS);
    EXPECT_EQ(bus->Stats().submitted, 1U);
}

TEST_F(LifecycleTest, RestartKeepsOwnershipAndTheOpenPipes) {
    const UserHandle bulk = OpenOrFail(PROCESS_A, "PIPE0");
    ASSERT_EQ(host.StopDevice(device), STATUS_SUCCESS);
    ASSERT_EQ(host.StartDevice(device), STATUS_SUCCESS);

    EXPECT_EQ(Open(PROCESS_A, "PIPE0").status, STATUS_ACCESS_DENIED);
    // A cleanup of another file object must not hand the adapter over.
    const UserHandle other = OpenOrFail(PROCESS_B, "");
    EXPECT_EQ(api.CloseHandle(PROCESS_B, other), STATUS_SUCCESS);
    EXPECT_EQ(GetDeviceContext(device)->OwnerProcess, PROCESS_A);
    EXPECT_EQ(Open(PROCESS_B, "PIPE1").status, STATUS_INVALID_DEVICE_REQUEST);

    EXPECT_EQ(api.CloseHandle(PROCESS_A, bulk), STATUS_SUCCESS);
    EXPECT_EQ(GetDeviceContext(device)->OwnerProcess, 0U);
    EXPECT_EQ(Open(PROCESS_B, "PIPE0").status, STATUS_SUCCESS);
}

TEST_F(LifecycleTest, ClosingAfterARestartAbortsThePendingRead) {
    const UserHandle bulk = OpenOrFail(PROCESS_A, "PIPE0");
    ASSERT_EQ(host.StopDevice(device), STATUS_SUCCESS);
    ASSERT_EQ(host.StartDevice(device), STATUS_SUCCESS);
    bus->ScriptFault(BULK_IN, TransferFault::Hold());
    Bytes buffer(64);
    auto read = api.BeginRead(PROCESS_A, bulk, buffer);
    ASSERT_TRUE(bus->WaitForHeld(1));

    // Returns only once the cleanup's abort has cancelled the held read.
    EXPECT_EQ(api.CloseHandle(PROCESS_A, bulk), STATUS_SUCCESS);
    EXPECT_TRUE(read->IsDone());
    EXPECT_EQ(read->Wait().status, STATUS_CANCELLED);
}

TEST_F(LifecycleTest, RestartServesHandlesAgain) {
    const UserHandle bulk = OpenOrFail(PROCESS_A, "PIPE0");
    ASSERT_EQ(host.StopDevice(device), STATUS_SUCCESS);
    ASSERT_EQ(host.StartDevice(device), STATUS_SUCCESS);
    Bytes buffer(1000);
    EXPECT_EQ(api.ReadFile(PROCESS_A, bulk, buffer).status, STATUS_SUCCESS);
    // One descriptor copy, not one per start.
    EXPECT_EQ(LiveUrbMemory(), 1U);
}

TEST_F(LifecycleTest, ClosingAHandleAbortsOnlyItsPipe) {
    bus->ScriptFault(BULK_IN, TransferFault::Hold());
    bus->ScriptFault(INTERRUPT_IN, TransferFault::Hold());
    const UserHandle bulk = OpenOrFail(PROCESS_A, "PIPE0");
    const UserHandle interrupt = OpenOrFail(PROCESS_A, "PIPE2");
    Bytes first(100);
    Bytes second(100);
    auto bulkRead = api.BeginRead(PROCESS_A, bulk, first);
    auto interruptRead = api.BeginRead(PROCESS_A, interrupt, second);
    ASSERT_TRUE(bus->WaitForHeld(2));

    EXPECT_EQ(api.CloseHandle(PROCESS_A, bulk), STATUS_SUCCESS);
    EXPECT_TRUE(bulkRead->IsDone());
    EXPECT_EQ(bulkRead->Wait().status, STATUS_CANCELLED);
    EXPECT_FALSE(interruptRead->IsDone());
    EXPECT_EQ(bus->HeldCount(), 1U);
    bus->ReleaseHeld();
    EXPECT_EQ(interruptRead->Wait().status, STATUS_SUCCESS);
    EXPECT_EQ(interruptRead->Wait().information, 100U);
}

TEST_F(LifecycleTest, CancelledStageCompletesTheRequestWithItsStatus) {
    bus->ScriptFault(BULK_OUT, TransferFault{});
    bus->ScriptFault(BULK_OUT, TransferFault::Cancel());
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE1");
    Bytes data(50000, 0x5A);
    const IoResult result = api.WriteFile(PROCESS_A, pipe, data);
    EXPECT_EQ(result.status, STATUS_CANCELLED);
    EXPECT_EQ(result.information, 0U);
}

TEST_F(LifecycleTest, RequestArrivingDuringCloseIsRefusedInsteadOfHangingTheClose) {
    const IoManager::OpenResult opened = host.Io().Open(PROCESS_A, path + "\\PIPE0");
    ASSERT_EQ(opened.status, STATUS_SUCCESS);
    // A call that has looked the handle up but not yet presented its request.
    opened.file->Reference();
    std::thread closer([&] { host.Io().Close(PROCESS_A, opened.file); });
    while (!opened.file->IsClosing()) {
        std::this_thread::yield();
    }
    Bytes buffer(64);
    const IoResult late = host.Io().Read(PROCESS_A, opened.file, buffer)->Wait();
    EXPECT_EQ(late.status, STATUS_FILE_CLOSED);
    EXPECT_EQ(bus->Stats().submitted, 0U);
    opened.file->Dereference();
    closer.join();
    EXPECT_EQ(GetDeviceContext(device)->OwnerProcess, 0U);
}

struct StartCase {
    const char* label;
    SimStartStep step;
    NTSTATUS status;
};

TEST(LifecycleStartTest, AFailedStartStepIsTheResultAndTheDeviceStaysHidden) {
    const StartCase cases[] = {
        {"configuration descriptor", SimStartStep::ConfigDescriptor, STATUS_DEVICE_DATA_ERROR},
        {"configuration selection", SimStartStep::SelectConfig, STATUS_INSUFFICIENT_RESOURCES},
        {"device information", SimStartStep::DeviceInformation, STATUS_UNSUCCESSFUL},
    };
    for (const StartCase& c : cases) {
        KernelHost host(std::make_shared<FakeWaiter>());
        ASSERT_EQ(host.LoadDriver(DriverEntry), STATUS_SUCCESS);
        auto bus = std::make_shared<SimUsbDevice>(AdapterDeviceConfig(),
                                                  std::make_shared<PatternFunction>());
        bus->SetStartFailure(c.step, c.status);
        EXPECT_EQ(host.PlugIn(bus), c.status) << c.label;
        HandleApi api(host);
        EXPECT_TRUE(api.EnumerateInterfaces(BRINDLE_INTERFACE_CLASS).empty()) << c.label;
    }
}

TEST(LifecycleStartTest, RequestsOnADeviceThatFailedToStartAreRefused) {
    KernelHost host(std::make_shared<FakeWaiter>());
    ASSERT_EQ(host.LoadDriver(DriverEntry), STATUS_SUCCESS);
    auto bus =
        std::make_shared<SimUsbDevice>(AdapterDeviceConfig(), std::make_shared<PatternFunction>());
    bus->SetStartFailure(SimStartStep::ConfigDescriptor, STATUS_DEVICE_DATA_ERROR);
    ASSERT_EQ(host.PlugIn(bus), STATUS_DEVICE_DATA_ERROR);
    HandleApi api(host);
    const std::string path =
        "\\\\?\\USB#VID_5155&PID_4C01#1#" + KernelHost::GuidText(BRINDLE_INTERFACE_CLASS);
    const OpenResult opened = api.CreateFile(PROCESS_B, path);
    ASSERT_EQ(opened.status, STATUS_SUCCESS);
    Bytes out(64);
    for (std::uint32_t code : {IOCTL_ADAPTER_GET_CONFIG_DESCRIPTOR, IOCTL_ADAPTER_GET_PIPE_COUNT}) {
        EXPECT_EQ(api.DeviceIoControl(PROCESS_B, opened.handle, code, {}, out).status,
                  STATUS_INVALID_DEVICE_STATE)
            << code;
    }
    EXPECT_EQ(api.CreateFile(PROCESS_A, path + "\\PIPE0").status, STATUS_INVALID_DEVICE_REQUEST);
}

TEST(LifecycleStartTest, TheDriverItselfRefusesDescriptorAndPipeCountBeforeAnyStart) {
    KernelHost host(std::make_shared<FakeWaiter>());
    ASSERT_EQ(host.LoadDriver(DriverEntry), STATUS_SUCCESS);
    auto bus =
        std::make_shared<SimUsbDevice>(AdapterDeviceConfig(), std::make_shared<PatternFunction>());
    bus->SetStartFailure(SimStartStep::ConfigDescriptor, STATUS_DEVICE_DATA_ERROR);
    WDFDEVICE device = nullptr;
    ASSERT_EQ(host.PlugIn(bus, &device), STATUS_DEVICE_DATA_ERROR);
    // The purged queue would answer first, so the handler is called directly.
    WDF_OBJECT_ATTRIBUTES attributes = device->Setup().fileAttributes;
    WDFFILEOBJECT file =
        WdfCreateObject<WdfFileObject>(&attributes, device, device, std::u16string());
    for (std::uint32_t code : {IOCTL_ADAPTER_GET_CONFIG_DESCRIPTOR, IOCTL_ADAPTER_GET_PIPE_COUNT}) {
        NTSTATUS seen = STATUS_PENDING;
        WDF_REQUEST_PARAMETERS parameters;
        parameters.Type = WdfRequestTypeDeviceControl;
        parameters.IoControlCode = code;
        parameters.OutputBufferLength = 64;
        WDFREQUEST request = device->CreateRequest(
            file, parameters, [&](NTSTATUS status, ULONG_PTR) { seen = status; });
        request->systemBuffer.assign(64, 0);
        EvtIoDeviceControl(device->DefaultQueue(), request, 64, 0, code);
        EXPECT_EQ(seen, STATUS_INVALID_DEVICE_STATE) << code;
    }
    WdfObjectDelete(file);
}

}  // namespace
}  // namespace brindle::test
