// The adapter pulled out while a process holds handles on it: the handles
// stay valid, everything done through them fails as on a removed device, and
// the device object lives until the last of them is closed.
#include <atomic>
#include <functional>
#include <thread>

#include "tests/driver/BrindleFixture.hpp"

namespace brindle::test {
namespace {

using namespace kmdf;
using Bytes = std::vector<std::uint8_t>;

class SurpriseRemovalTest : public BrindleFixture {};

struct RemovedCall {
    const char* label;
    std::function<IoResult()> call;
};

TEST_F(SurpriseRemovalTest, HandlesStayValidAndEveryCallFailsAsOnARemovedDevice) {
    bus->ScriptFault(BULK_IN, TransferFault::Hold());
    const UserHandle bulkIn = OpenOrFail(PROCESS_A, "PIPE0");
    const UserHandle bulkOut = OpenOrFail(PROCESS_A, "PIPE1");
    const UserHandle deviceHandle = OpenOrFail(PROCESS_B, "");
    Bytes pendingBuffer(64);
    auto pending = api.BeginRead(PROCESS_A, bulkIn, pendingBuffer);
    ASSERT_TRUE(bus->WaitForHeld(1));

    host.Unplug(device);
    EXPECT_EQ(pending->Wait().status, STATUS_CANCELLED);
    EXPECT_EQ(pending->Completions(), 1);

    Bytes buffer(64);
    Bytes out(20);
    const RemovedCall calls[] = {
        {"read", [&] { return api.ReadFile(PROCESS_A, bulkIn, buffer); }},
        {"write", [&] { return api.WriteFile(PROCESS_A, bulkOut, buffer); }},
        {"pipe information",
         [&] { return Control(PROCESS_A, bulkIn, IOCTL_ADAPTER_GET_PIPE_INFORMATION, out); }},
        {"pipe count",
         [&] { return Control(PROCESS_B, deviceHandle, IOCTL_ADAPTER_GET_PIPE_COUNT, out); }},
    };
    for (const RemovedCall& c : calls) {
        const IoResult result = c.call();
        EXPECT_EQ(result.status, STATUS_INVALID_DEVICE_STATE) << c.label;
        EXPECT_EQ(result.information, 0U) << c.label;
    }
    EXPECT_EQ(host.GetKernel().Stats().presentedToDriver, 1U);
    EXPECT_EQ(bus->Stats().submitted, 1U);
    EXPECT_TRUE(api.EnumerateInterfaces(BRINDLE_INTERFACE_CLASS).empty());
    EXPECT_EQ(Open(PROCESS_A, "PIPE2").status, STATUS_OBJECT_NAME_NOT_FOUND);
}

TEST_F(SurpriseRemovalTest, TheDeviceGoesWhenItsLastHandleCloses) {
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE0");
    const UserHandle deviceHandle = OpenOrFail(PROCESS_B, "");
    host.Unplug(device);
    EXPECT_FALSE(host.IsPresent(device));
    EXPECT_EQ(host.DeviceCount(), 1U);
    EXPECT_EQ(api.CloseHandle(PROCESS_A, pipe), STATUS_SUCCESS);
    EXPECT_EQ(host.DeviceCount(), 1U);
    EXPECT_EQ(api.CloseHandle(PROCESS_B, deviceHandle), STATUS_SUCCESS);
    EXPECT_EQ(host.DeviceCount(), 0U);
    EXPECT_EQ(LiveUrbMemory(), 0U);
}

TEST_F(SurpriseRemovalTest, ADeviceWithoutHandlesGoesAtOnce) {
    api.CloseHandle(PROCESS_A, OpenOrFail(PROCESS_A, "PIPE3"));
    host.Unplug(device);
    EXPECT_EQ(host.DeviceCount(), 0U);
    EXPECT_EQ(LiveUrbMemory(), 0U);
}

TEST_F(SurpriseRemovalTest, RemovalUnderLoadCompletesEveryRequestOnce) {
    bus->ScriptFault(BULK_OUT, TransferFault::Hold());
    const UserHandle bulkIn = OpenOrFail(PROCESS_A, "PIPE0");
    const UserHandle bulkOut = OpenOrFail(PROCESS_A, "PIPE1");
    std::atomic<bool> removedSeen{false};
    auto hammer = [&](UserHandle handle, bool read) {
        Bytes buffer(300);
        for (;;) {
            const IoResult result = read ? api.ReadFile(PROCESS_A, handle, buffer)
                                         : api.WriteFile(PROCESS_A, handle, buffer);
            if (result.status == STATUS_INVALID_DEVICE_STATE) {
                removedSeen = true;
                return;
            }
            EXPECT_TRUE(result.status == STATUS_SUCCESS || result.status == STATUS_CANCELLED ||
                        result.status == STATUS_DEVICE_NOT_CONNECTED)
                << NtStatusText(result.status);
        }
    };
    std::thread reader(hammer, bulkIn, true);
    std::thread writer(hammer, bulkOut, false);
    ASSERT_TRUE(bus->WaitForHeld(1));
    host.Unplug(device);
    reader.join();
    writer.join();
    EXPECT_TRUE(removedSeen.load());
    api.CloseProcessHandles(PROCESS_A);
    EXPECT_EQ(host.DeviceCount(), 0U);
}

}  // namespace
}  // namespace brindle::test
