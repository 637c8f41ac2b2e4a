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
    // With the target stopped nothing can be sent.
    EXPECT_EQ(api.ReadFile(PROCESS_A, bulk, first).status, STATUS_INVALID_DEVICE_STATE);
    // The stop emptied the open-pipe set but left the owner to the next cleanup.
    EXPECT_EQ(GetDeviceContext(device)->OwnerProcess, PROCESS_A);
    api.CloseHandle(PROCESS_A, bulk);
    EXPECT_EQ(GetDeviceContext(device)->OwnerProcess, 0U);
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
        KernelHost host(std::make_shared<FakeClock>());
        ASSERT_EQ(host.LoadDriver(DriverEntry), STATUS_SUCCESS);
        auto bus = std::make_shared<SimUsbDevice>(AdapterDeviceConfig(),
                                                  std::make_shared<PatternFunction>());
        bus->SetStartFailure(c.step, c.status);
        EXPECT_EQ(host.PlugIn(bus), c.status) << c.label;
        HandleApi api(host);
        EXPECT_TRUE(api.EnumerateInterfaces(BRINDLE_INTERFACE_CLASS).empty()) << c.label;
    }
}

TEST(LifecycleStartTest, DescriptorAndPipeCountBeforeAnyStartAreInvalidDeviceState) {
    KernelHost host(std::make_shared<FakeClock>());
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

}  // namespace
}  // namespace brindle::test
