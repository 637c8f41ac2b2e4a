// Many threads of two processes issue reads, writes and control requests of
// random sizes while the bus shortens, stalls, fails, cancels, delays and
// holds transfers, handles are closed with requests in flight and the device
// is stopped under load. Every request must complete exactly once and every
// list must be freed. Seeded, so each run draws the same sizes and faults.
#include <random>
#include <thread>

#include "tests/driver/BrindleFixture.hpp"

namespace brindle::test {
namespace {

using namespace kmdf;

constexpr int ROUNDS = 6;
constexpr int WORKERS = 6;
constexpr int OPERATIONS_PER_WORKER = 60;

struct Operation {
    std::shared_ptr<IoOperation> io;
    std::vector<std::uint8_t> buffer;
    std::size_t length = 0;
};

class StressTest : public BrindleFixture {
  protected:
    void SetUp() override {
        BrindleFixture::SetUp();
        RandomFaultPlan plan;
        plan.shortPerMille = 120;
        plan.stallPerMille = 20;
        plan.failPerMille = 20;
        plan.cancelPerMille = 20;
        plan.delayPerMille = 100;
        plan.holdPerMille = 30;
        plan.seed = 20240611;
        bus->SetRandomFaults(plan);
    }

    /// One worker's share of a round: random pipe, direction and size.
    void Work(HANDLE owner, const std::vector<UserHandle>& pipes, unsigned seed,
              std::vector<Operation>& done) {
        std::mt19937 random(seed);
        for (int i = 0; i < OPERATIONS_PER_WORKER; ++i) {
            const std::size_t pipeIndex = random() % pipes.size();
            const bool bulk = pipeIndex < 2;
            const std::size_t limit = bulk ? 65536 : 16384;
            Operation op;
            op.length = random() % 50 == 0 ? 65537 : random() % (limit + 1);
            op.buffer.assign(op.length, static_cast<std::uint8_t>(i));
            op.io = pipeIndex % 2 == 0 ? api.BeginRead(owner, pipes[pipeIndex], op.buffer)
                                       : api.BeginWrite(owner, pipes[pipeIndex], op.buffer);
            ResetStalledPipes(owner, pipes, done);
            done.push_back(std::move(op));
        }
    }

    void ResetStalledPipes(HANDLE owner, const std::vector<UserHandle>& pipes,
                           const std::vector<Operation>& done) {
        if (!done.empty() && done.back().io->IsDone() &&
            done.back().io->Wait().status == STATUS_UNSUCCESSFUL) {
            std::vector<std::uint8_t> none;
            for (UserHandle pipe : pipes) {
                api.DeviceIoControl(owner, pipe, IOCTL_ADAPTER_RESET_PIPE, {}, none);
            }
        }
    }

    /// The other process keeps asking while it does not own the adapter.
    void Pester(HANDLE other, const std::atomic<bool>& stop, int& refusals) {
        const UserHandle deviceHandle = OpenOrFail(other, "");
        std::vector<std::uint8_t> count(1);
        // At least once, however quickly the workers finish.
        do {
            refusals += Open(other, "PIPE1").status == STATUS_INVALID_DEVICE_REQUEST ? 1 : 0;
            EXPECT_EQ(
                api.DeviceIoControl(other, deviceHandle, IOCTL_ADAPTER_GET_PIPE_COUNT, {}, count)
                    .status,
                STATUS_SUCCESS);
            EXPECT_EQ(count[0], 4);
        } while (!stop.load());
        api.CloseHandle(other, deviceHandle);
    }

    void CheckOutcome(const Operation& op) {
        const IoResult result = op.io->Wait();
        EXPECT_EQ(op.io->Completions(), 1);
        if (op.length > 65536) {
            EXPECT_EQ(result.status, STATUS_INVALID_PARAMETER);
        } else if (NT_SUCCESS(result.status)) {
            EXPECT_LE(result.information, op.length);
        } else {
            EXPECT_TRUE(result.status == STATUS_UNSUCCESSFUL || result.status == STATUS_CANCELLED ||
                        result.status == STATUS_INVALID_DEVICE_STATE)
                << NtStatusText(result.status);
            EXPECT_EQ(result.information, 0U);
        }
    }

    void RunRound(int round) {
        const HANDLE owner = round % 2 == 0 ? PROCESS_A : PROCESS_B;
        const HANDLE other = owner == PROCESS_A ? PROCESS_B : PROCESS_A;
        std::vector<UserHandle> pipes;
        for (const char* name : {"PIPE0", "PIPE1", "PIPE2", "PIPE3"}) {
            pipes.push_back(OpenOrFail(owner, name));
        }
        std::atomic<bool> stop{false};
        int refusals = 0;
        std::thread pester([&] { Pester(other, stop, refusals); });
        std::vector<std::vector<Operation>> results(WORKERS);
        std::vector<std::thread> workers;
        for (int w = 0; w < WORKERS; ++w) {
            workers.emplace_back(
                [&, w] { Work(owner, pipes, static_cast<unsigned>(round * 100 + w), results[w]); });
        }
        for (std::thread& worker : workers) {
            worker.join();
        }
        stop = true;
        pester.join();
        EXPECT_GT(refusals, 0);
        // Held transfers are still in flight: the last round stops the device
        // under them, the others close the handles and so abort the pipes.
        if (round == ROUNDS - 1) {
            ASSERT_EQ(host.StopDevice(device), STATUS_SUCCESS);
        }
        api.CloseProcessHandles(owner);
        for (const auto& ops : results) {
            for (const Operation& op : ops) {
                CheckOutcome(op);
            }
        }
    }
};

TEST_F(StressTest, EveryRequestCompletesExactlyOnceAndNothingLeaks) {
    for (int round = 0; round < ROUNDS; ++round) {
        RunRound(round);
    }
    const FrameworkStats stats = host.GetKernel().Stats();
    EXPECT_GE(stats.requestsCreated,
              static_cast<std::size_t>(ROUNDS * WORKERS * OPERATIONS_PER_WORKER));
    EXPECT_EQ(stats.requestsCreated, stats.requestsCompleted);
    EXPECT_EQ(host.GetKernel().Mdls().Stats().live, 0U);
    EXPECT_EQ(LiveUrbMemory(), 1U);
    ASSERT_TRUE(bus->WaitIdle());
    const SimUsbStats usb = bus->Stats();
    EXPECT_EQ(usb.submitted, usb.completed);
    EXPECT_GT(usb.cancelled, 0U);
}

}  // namespace
}  // namespace brindle::test
