#include <atomic>
#include <thread>

#include "tests/driver/BrindleFixture.hpp"

namespace brindle::test {
namespace {

using namespace kmdf;

class FileCreateTest : public BrindleFixture {
  protected:
    /// Endpoint address of the pipe behind `handle`, from its pipe information.
    int EndpointOf(HANDLE process, UserHandle handle) {
        std::vector<std::uint8_t> record(PIPE_INFORMATION_RECORD_SIZE);
        const IoResult result =
            Control(process, handle, IOCTL_ADAPTER_GET_PIPE_INFORMATION, record);
        return result.status == STATUS_SUCCESS ? record[8] : -1;
    }

    DEVICE_CONTEXT* Context() { return GetDeviceContext(device); }
};

struct OpenCase {
    const char* name;
    NTSTATUS status;
    int endpoint;
};

TEST_F(FileCreateTest, FileNameSelectsPipeByItsLastDigits) {
    const OpenCase cases[] = {
        {"PIPE00", STATUS_SUCCESS, BULK_IN},         {"PIPE1", STATUS_SUCCESS, BULK_OUT},
        {"X01", STATUS_SUCCESS, BULK_OUT},           {"P1X", STATUS_SUCCESS, BULK_OUT},
        {"PIPE257", STATUS_SUCCESS, BULK_OUT},       {"PIPE3", STATUS_SUCCESS, INTERRUPT_OUT},
        {"PIPE", STATUS_INVALID_DEVICE_REQUEST, -1}, {"PIPE4", STATUS_INVALID_DEVICE_REQUEST, -1},
    };
    for (const OpenCase& c : cases) {
        const OpenResult opened = Open(PROCESS_A, c.name);
        EXPECT_EQ(opened.status, c.status) << c.name;
        if (opened.status == STATUS_SUCCESS) {
            EXPECT_EQ(EndpointOf(PROCESS_A, opened.handle), c.endpoint) << c.name;
            api.CloseHandle(PROCESS_A, opened.handle);
        }
    }
}

TEST_F(FileCreateTest, SecondOpenOfAPipeIsRefusedUntilTheFirstCloses) {
    const UserHandle first = OpenOrFail(PROCESS_A, "PIPE00");
    EXPECT_EQ(Open(PROCESS_A, "PIPE00").status, STATUS_ACCESS_DENIED);
    // "PIPE256" names the same pipe.
    EXPECT_EQ(Open(PROCESS_A, "PIPE256").status, STATUS_ACCESS_DENIED);
    EXPECT_EQ(api.CloseHandle(PROCESS_A, first), STATUS_SUCCESS);
    EXPECT_EQ(Open(PROCESS_A, "PIPE00").status, STATUS_SUCCESS);
}

TEST_F(FileCreateTest, SecondProcessWaitsUntilTheOwnerClosesAllPipes) {
    const UserHandle pipe0 = OpenOrFail(PROCESS_A, "PIPE0");
    const UserHandle pipe1 = OpenOrFail(PROCESS_A, "PIPE1");
    EXPECT_EQ(Context()->OwnerProcess, PROCESS_A);
    EXPECT_EQ(Open(PROCESS_B, "PIPE2").status, STATUS_INVALID_DEVICE_REQUEST);
    api.CloseHandle(PROCESS_A, pipe0);
    EXPECT_EQ(Open(PROCESS_B, "PIPE2").status, STATUS_INVALID_DEVICE_REQUEST);
    EXPECT_EQ(Context()->OwnerProcess, PROCESS_A);
    api.CloseHandle(PROCESS_A, pipe1);
    EXPECT_EQ(Context()->OwnerProcess, 0U);
    EXPECT_EQ(Open(PROCESS_B, "PIPE2").status, STATUS_SUCCESS);
    EXPECT_EQ(Context()->OwnerProcess, PROCESS_B);
}

TEST_F(FileCreateTest, DeviceOpenWorksForAnyProcessAndTakesNoOwnership) {
    OpenOrFail(PROCESS_A, "PIPE0");
    const OpenResult device = Open(PROCESS_B, "");
    EXPECT_EQ(device.status, STATUS_SUCCESS);
    EXPECT_EQ(Context()->OwnerProcess, PROCESS_A);
    api.CloseProcessHandles(PROCESS_A);
    const OpenResult second = Open(PROCESS_A, "");
    EXPECT_EQ(second.status, STATUS_SUCCESS);
    EXPECT_EQ(Context()->OwnerProcess, 0U);
    // Pipe-only requests on a device handle are refused.
    std::vector<std::uint8_t> out(8);
    EXPECT_EQ(Control(PROCESS_B, device.handle, IOCTL_ADAPTER_RESET_PIPE, out).status,
              STATUS_INVALID_PARAMETER);
}

TEST_F(FileCreateTest, FailedPipeOpenLeavesOwnerUntilNextCleanup) {
    const UserHandle deviceHandle = OpenOrFail(PROCESS_B, "");
    EXPECT_EQ(Open(PROCESS_A, "PIPE9").status, STATUS_INVALID_DEVICE_REQUEST);
    EXPECT_EQ(Context()->OwnerProcess, PROCESS_A);
    EXPECT_EQ(Open(PROCESS_B, "PIPE0").status, STATUS_INVALID_DEVICE_REQUEST);
    // Any file object's cleanup with no pipe open clears the owner.
    api.CloseHandle(PROCESS_B, deviceHandle);
    EXPECT_EQ(Context()->OwnerProcess, 0U);
    EXPECT_EQ(Open(PROCESS_B, "PIPE0").status, STATUS_SUCCESS);
}

TEST_F(FileCreateTest, HandlesBelongToTheirProcess) {
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE0");
    std::vector<std::uint8_t> buffer(16);
    EXPECT_EQ(api.ReadFile(PROCESS_B, pipe, buffer).status, STATUS_INVALID_HANDLE);
    EXPECT_EQ(api.CloseHandle(PROCESS_B, pipe), STATUS_INVALID_HANDLE);
    EXPECT_EQ(api.ReadFile(PROCESS_A, pipe, buffer).status, STATUS_SUCCESS);
    EXPECT_EQ(api.CreateFile(PROCESS_A, path + "X\\PIPE0").status, STATUS_OBJECT_NAME_NOT_FOUND);
}

TEST_F(FileCreateTest, TwoProcessesRacingForTheirFirstPipeNeverBothOwn) {
    constexpr int ATTEMPTS = 10000;
    // Who holds a pipe now, as the winners themselves record it: a second
    // holder would find the first one still there.
    std::atomic<HANDLE> holder{0};
    std::atomic<int> doubleOwners{0};
    std::atomic<int> wrongOwner{0};
    auto contender = [&](HANDLE process, const char* name) {
        for (int attempt = 0; attempt < ATTEMPTS; ++attempt) {
            const OpenResult opened = Open(process, name);
            if (opened.status != STATUS_SUCCESS) {
                EXPECT_EQ(opened.status, STATUS_INVALID_DEVICE_REQUEST);
                continue;
            }
            doubleOwners += holder.exchange(process) == 0 ? 0 : 1;
            wrongOwner += Context()->OwnerProcess == process ? 0 : 1;
            holder = 0;
            api.CloseHandle(process, opened.handle);
        }
    };
    std::thread a(contender, PROCESS_A, "PIPE0");
    std::thread b(contender, PROCESS_B, "PIPE1");
    a.join();
    b.join();
    EXPECT_EQ(doubleOwners.load(), 0);
    EXPECT_EQ(wrongOwner.load(), 0);
    EXPECT_EQ(Context()->OwnerProcess, 0U);
}

}  // namespace
}  // namespace brindle::test
