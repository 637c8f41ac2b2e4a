// A caller cancelling its own I/O: CancelIo (the calling thread's requests on
// a handle), CancelIoEx (every thread's) and the end of the issuing thread.
// Each cancelled request still completes exactly once.
#include <atomic>
#include <thread>

#include "tests/driver/BrindleFixture.hpp"

namespace brindle::test {
namespace {

using namespace kmdf;
using Bytes = std::vector<std::uint8_t>;

class CancellationTest : public BrindleFixture {
  protected:
    /// Starts a read on `handle` that the bus holds until it is cancelled.
    std::shared_ptr<IoOperation> HeldRead(UserHandle handle, Bytes& buffer, UCHAR endpoint,
                                          std::size_t heldBefore) {
        bus->ScriptFault(endpoint, TransferFault::Hold());
        auto read = api.BeginRead(PROCESS_A, handle, buffer);
        EXPECT_TRUE(bus->WaitForHeld(heldBefore + 1));
        return read;
    }

    static void ExpectCancelledOnce(const std::shared_ptr<IoOperation>& io) {
        const IoResult result = io->Wait();
        EXPECT_EQ(result.status, STATUS_CANCELLED);
        EXPECT_EQ(result.information, 0U);
        EXPECT_EQ(io->Completions(), 1);
    }
};

TEST_F(CancellationTest, CancelIoEndsAReadHeldAtTheBus) {
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE0");
    Bytes buffer(64);
    auto read = HeldRead(pipe, buffer, BULK_IN, 0);
    EXPECT_EQ(api.CancelIo(PROCESS_A, pipe), STATUS_SUCCESS);
    ExpectCancelledOnce(read);
    // The handle goes on working.
    EXPECT_EQ(api.ReadFile(PROCESS_A, pipe, buffer).status, STATUS_SUCCESS);
}

TEST_F(CancellationTest, CancelIoTakesOnlyTheCallingThreadsRequests) {
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE0");
    Bytes mine(64);
    Bytes theirs(64);
    // The other thread stays alive: its end would cancel its read itself.
    std::shared_ptr<IoOperation> survivor;
    std::atomic<bool> issued{false};
    std::atomic<bool> finish{false};
    std::thread keeper([&] {
        survivor = HeldRead(pipe, theirs, BULK_IN, 0);
        issued = true;
        while (!finish.load()) {
            std::this_thread::yield();
        }
    });
    while (!issued.load()) {
        std::this_thread::yield();
    }
    auto read = HeldRead(pipe, mine, BULK_IN, 1);
    EXPECT_EQ(api.CancelIo(PROCESS_A, pipe), STATUS_SUCCESS);
    ExpectCancelledOnce(read);
    EXPECT_FALSE(survivor->IsDone());
    EXPECT_EQ(api.CancelIoEx(PROCESS_A, pipe), STATUS_SUCCESS);
    ExpectCancelledOnce(survivor);
    finish = true;
    keeper.join();
}

TEST_F(CancellationTest, TheEndOfTheIssuingThreadCancelsItsRequests) {
    const UserHandle bulk = OpenOrFail(PROCESS_A, "PIPE0");
    const UserHandle interrupt = OpenOrFail(PROCESS_A, "PIPE2");
    Bytes first(64);
    Bytes second(64);
    std::shared_ptr<IoOperation> bulkRead;
    std::shared_ptr<IoOperation> interruptRead;
    std::thread worker([&] {
        bulkRead = HeldRead(bulk, first, BULK_IN, 0);
        interruptRead = HeldRead(interrupt, second, INTERRUPT_IN, 1);
    });
    worker.join();
    // Done by the time the thread has ended, not merely cancelled.
    EXPECT_TRUE(bulkRead->IsDone());
    EXPECT_TRUE(interruptRead->IsDone());
    ExpectCancelledOnce(bulkRead);
    ExpectCancelledOnce(interruptRead);
}

TEST_F(CancellationTest, RequestWaitingForARestartIsCancelledWithoutReachingTheDriver) {
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE1");
    ASSERT_EQ(host.StopDevice(device), STATUS_SUCCESS);
    Bytes data(32, 0x11);
    auto write = api.BeginWrite(PROCESS_A, pipe, data);
    EXPECT_FALSE(write->IsDone());
    EXPECT_EQ(api.CancelIo(PROCESS_A, pipe), STATUS_SUCCESS);
    ExpectCancelledOnce(write);
    ASSERT_EQ(host.StartDevice(device), STATUS_SUCCESS);
    EXPECT_EQ(host.GetKernel().Stats().presentedToDriver, 0U);
    EXPECT_EQ(bus->Stats().submitted, 0U);
}

TEST_F(CancellationTest, CancelIoExFindsNothingOnceTheRequestsAreDone) {
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE0");
    Bytes buffer(64);
    ASSERT_EQ(api.ReadFile(PROCESS_A, pipe, buffer).status, STATUS_SUCCESS);
    EXPECT_EQ(api.CancelIoEx(PROCESS_A, pipe), STATUS_NOT_FOUND);
    EXPECT_EQ(api.CancelIo(PROCESS_A, pipe), STATUS_SUCCESS);
    EXPECT_EQ(api.CancelIo(PROCESS_B, pipe), STATUS_INVALID_HANDLE);
    EXPECT_EQ(api.CancelIoEx(PROCESS_B, pipe), STATUS_INVALID_HANDLE);
}

/// An adapter with nothing to say: IN transfers wait for data for ever.
class SilentFunction final : public SimUsbFunction {
  public:
    std::optional<std::size_t> ReadIn(std::uint8_t, std::span<std::uint8_t>) override {
        return std::nullopt;
    }
    std::optional<std::size_t> WriteOut(std::uint8_t, std::span<const std::uint8_t> data) override {
        return data.size();
    }
};

TEST(CancellationIdleTest, CancelIoEndsAReadWaitingForDataOfAnIdlePipe) {
    KernelHost host(std::make_shared<FakeWaiter>());
    ASSERT_EQ(host.LoadDriver(DriverEntry), STATUS_SUCCESS);
    auto bus =
        std::make_shared<SimUsbDevice>(AdapterDeviceConfig(), std::make_shared<SilentFunction>());
    ASSERT_EQ(host.PlugIn(bus), STATUS_SUCCESS);
    HandleApi api(host);
    const auto paths = api.EnumerateInterfaces(BRINDLE_INTERFACE_CLASS);
    ASSERT_EQ(paths.size(), 1U);
    const OpenResult pipe = api.CreateFile(PROCESS_A, paths[0] + "\\PIPE0");
    ASSERT_EQ(pipe.status, STATUS_SUCCESS);
    for (int round = 0; round < 20; ++round) {
        Bytes buffer(64);
        auto read = api.BeginRead(PROCESS_A, pipe.handle, buffer);
        EXPECT_EQ(api.CancelIo(PROCESS_A, pipe.handle), STATUS_SUCCESS);
        EXPECT_EQ(read->Wait().status, STATUS_CANCELLED) << "round " << round;
        EXPECT_EQ(read->Completions(), 1);
    }
    EXPECT_EQ(api.CloseHandle(PROCESS_A, pipe.handle), STATUS_SUCCESS);
    EXPECT_TRUE(bus->WaitIdle());
    EXPECT_EQ(bus->Stats().doubleCompletions, 0U);
}

}  // namespace
}  // namespace brindle::test
