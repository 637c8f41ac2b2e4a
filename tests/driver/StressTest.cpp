// 100,000 reads, writes and control requests from threads of two processes
// while the bus shortens, stalls, fails, cancels, delays and holds transfers
// and the framework refuses memory now and then; callers cancel what they
// stop waiting for, threads end with requests outstanding, the device is
// stopped and restarted under load and finally pulled out. Every request
// must complete exactly once and nothing may leak. Seeded, so each run draws
// the same sizes and faults (the interleaving is the scheduler's).
#include <deque>
#include <random>
#include <thread>

#include "tests/driver/BrindleFixture.hpp"

namespace brindle::test {
namespace {

using namespace kmdf;

constexpr int ROUNDS = 5;
constexpr int WORKERS = 4;
constexpr int OPERATIONS_PER_WORKER = 5000;
constexpr std::size_t WINDOW = 12;

struct Operation {
    std::shared_ptr<IoOperation> io;
    std::vector<std::uint8_t> buffer;
    std::size_t length = 0;
    std::size_t pipe = 0;
};

class StressTest : public BrindleFixture {
  protected:
    void SetUp() override {
        // Keeping every written byte would only cost memory here.
        function = std::make_shared<PatternFunction>(false);
        BrindleFixture::SetUp();
        RandomFaultPlan plan;
        plan.shortPerMille = 100;
        plan.stallPerMille = 10;
        plan.failPerMille = 10;
        plan.cancelPerMille = 10;
        plan.delayPerMille = 80;
        plan.holdPerMille = 20;
        plan.seed = 20240611;
        bus->SetRandomFaults(plan);
        FaultInjector& faults = host.GetKernel().Faults();
        faults.ArmRandom(FaultPoint::MdlAllocation, 5, 11);
        faults.ArmRandom(FaultPoint::PoolAllocation, 5, 12);
        faults.ArmRandom(FaultPoint::FormatRequest, 5, 13);
        faults.ArmRandom(FaultPoint::RetrieveMdl, 5, 14);
    }

    static std::size_t DrawLength(std::mt19937& random, bool bulk) {
        const unsigned roll = random() % 100;
        if (roll < 2) {
            return 65537;
        }
        if (roll < 6) {
            return random() % (bulk ? 65537 : 16385);
        }
        return random() % 300;
    }

    Operation Issue(HANDLE owner, const std::vector<UserHandle>& pipes, std::mt19937& random) {
        Operation op;
        op.pipe = random() % pipes.size();
        if (random() % 20 == 0) {
            op.buffer.assign(PIPE_INFORMATION_RECORD_SIZE, 0);
            op.io = api.BeginDeviceIoControl(owner, pipes[op.pipe],
                                             IOCTL_ADAPTER_GET_PIPE_INFORMATION, {}, op.buffer);
            return op;
        }
        op.length = DrawLength(random, op.pipe < 2);
        op.buffer.assign(op.length, static_cast<std::uint8_t>(random()));
        op.io = op.pipe % 2 == 0 ? api.BeginRead(owner, pipes[op.pipe], op.buffer)
                                 : api.BeginWrite(owner, pipes[op.pipe], op.buffer);
        return op;
    }

    /// Waits for the oldest request, giving up on it (CancelIo) first when
    /// it is not done: a held transfer would otherwise never finish.
    void Retire(HANDLE owner, const std::vector<UserHandle>& pipes, std::deque<Operation>& window,
                std::vector<Operation>& done) {
        Operation& oldest = window.front();
        if (!oldest.io->IsDone()) {
            api.CancelIo(owner, pipes[oldest.pipe]);
        }
        if (oldest.io->Wait().status == STATUS_UNSUCCESSFUL) {
            std::vector<std::uint8_t> none;
            api.DeviceIoControl(owner, pipes[oldest.pipe], IOCTL_ADAPTER_RESET_PIPE, {}, none);
        }
        done.push_back(std::move(oldest));
        window.pop_front();
    }

    /// Starts the stopped device again. An injected allocation failure can
    /// fail a start as low memory would; the system then starts it once more.
    /// Without that, which start draws the fault depends on the scheduler, and
    /// a device left stopped refuses every open of the next round.
    void Restart() {
        NTSTATUS started = host.StartDevice(device);
        for (int attempt = 0; attempt < 100 && started == STATUS_INSUFFICIENT_RESOURCES;
             ++attempt) {
            started = host.StartDevice(device);
        }
        EXPECT_EQ(started, STATUS_SUCCESS) << NtStatusText(started);
    }

    /// What happens besides the worker's own requests, at fixed points.
    void Interfere(int worker, int i, int round, HANDLE owner, UserHandle otherDevice,
                   const std::vector<UserHandle>& pipes) {
        if (worker == 0 && i % 1000 == 500) {
            if (round == ROUNDS - 1 && i == 2500) {
                host.Unplug(device);
            } else if (host.IsPresent(device)) {
                host.StopDevice(device);
                Restart();
            }
        }
        if (worker == 1 && i % 100 == 0) {
            // The other process may ask, but never gets a pipe.
            const HANDLE other = owner == PROCESS_A ? PROCESS_B : PROCESS_A;
            const NTSTATUS refused = Open(other, "PIPE1").status;
            EXPECT_TRUE(refused == STATUS_INVALID_DEVICE_REQUEST ||
                        refused == STATUS_OBJECT_NAME_NOT_FOUND)
                << NtStatusText(refused);
            std::vector<std::uint8_t> count(1);
            api.DeviceIoControl(other, otherDevice, IOCTL_ADAPTER_GET_PIPE_COUNT, {}, count);
        }
        if (worker == 2 && i % 300 == 0) {
            api.CancelIoEx(owner, pipes[static_cast<std::size_t>(i / 300) % pipes.size()]);
        }
    }

    /// One worker's share of a round. It ends with requests outstanding: the
    /// end of its thread cancels them.
    void Work(int worker, int round, HANDLE owner, UserHandle otherDevice,
              const std::vector<UserHandle>& pipes, std::vector<Operation>& done) {
        std::mt19937 random(static_cast<unsigned>(round * 100 + worker));
        std::deque<Operation> window;
        for (int i = 0; i < OPERATIONS_PER_WORKER; ++i) {
            Interfere(worker, i, round, owner, otherDevice, pipes);
            window.push_back(Issue(owner, pipes, random));
            if (window.size() > WINDOW) {
                Retire(owner, pipes, window, done);
            }
        }
        for (Operation& op : window) {
            done.push_back(std::move(op));
        }
    }

    static void CheckOutcome(const Operation& op) {
        ASSERT_TRUE(op.io->IsDone());
        const IoResult result = op.io->Wait();
        EXPECT_EQ(op.io->Completions(), 1);
        if (op.length > 65536) {
            // Refused by the driver, unless it never got there.
            EXPECT_TRUE(result.status == STATUS_INVALID_PARAMETER ||
                        result.status == STATUS_CANCELLED ||
                        result.status == STATUS_INVALID_DEVICE_STATE)
                << NtStatusText(result.status);
        } else if (NT_SUCCESS(result.status)) {
            EXPECT_LE(result.information, std::max(op.length, op.buffer.size()));
        } else {
            EXPECT_TRUE(result.status == STATUS_UNSUCCESSFUL || result.status == STATUS_CANCELLED ||
                        result.status == STATUS_INVALID_DEVICE_STATE ||
                        result.status == STATUS_INSUFFICIENT_RESOURCES ||
                        result.status == STATUS_DEVICE_NOT_CONNECTED)
                << NtStatusText(result.status);
            EXPECT_EQ(result.information, 0U);
        }
    }

    void RunRound(int round, std::size_t& requests) {
        const HANDLE owner = round % 2 == 0 ? PROCESS_A : PROCESS_B;
        const HANDLE other = owner == PROCESS_A ? PROCESS_B : PROCESS_A;
        std::vector<UserHandle> pipes;
        for (const char* name : {"PIPE0", "PIPE1", "PIPE2", "PIPE3"}) {
            pipes.push_back(OpenOrFail(owner, name));
        }
        const UserHandle otherDevice = OpenOrFail(other, "");
        std::vector<std::vector<Operation>> results(WORKERS);
        std::vector<std::thread> workers;
        for (int w = 0; w < WORKERS; ++w) {
            workers.emplace_back([&, w] { Work(w, round, owner, otherDevice, pipes, results[w]); });
        }
        for (std::thread& worker : workers) {
            worker.join();
        }
        api.CloseProcessHandles(owner);
        api.CloseProcessHandles(other);
        for (const auto& ops : results) {
            requests += ops.size();
            for (const Operation& op : ops) {
                CheckOutcome(op);
            }
        }
    }
};

TEST_F(StressTest, EveryRequestCompletesExactlyOnceAndNothingLeaks) {
    std::size_t requests = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        RunRound(round, requests);
    }
    EXPECT_EQ(requests, static_cast<std::size_t>(ROUNDS * WORKERS * OPERATIONS_PER_WORKER));
    const FrameworkStats stats = host.GetKernel().Stats();
    EXPECT_GE(stats.requestsCreated, requests);
    EXPECT_EQ(stats.requestsCreated, stats.requestsCompleted);
    EXPECT_EQ(host.GetKernel().Mdls().Stats().live, 0U);
    // The device went with its last handle, its memory with it.
    EXPECT_EQ(host.DeviceCount(), 0U);
    EXPECT_EQ(LiveUrbMemory(), 0U);
    ASSERT_TRUE(bus->WaitIdle());
    const SimUsbStats usb = bus->Stats();
    EXPECT_EQ(usb.submitted, usb.completed);
    EXPECT_GT(usb.cancelled, 0U);
}

}  // namespace
}  // namespace brindle::test
