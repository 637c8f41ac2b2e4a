#include <numeric>

#include "tests/driver/BrindleFixture.hpp"

namespace brindle::test {
namespace {

using namespace kmdf;

class ReadWriteTest : public BrindleFixture {
  protected:
    std::vector<ULONG> StageLengths() {
        std::vector<ULONG> lengths;
        for (const TransferRecord& record : bus->Log()) {
            lengths.push_back(record.requested);
        }
        return lengths;
    }
};

struct StageCase {
    const char* label;
    const char* pipe;
    std::size_t length;
    std::vector<ULONG> stages;
};

TEST_F(ReadWriteTest, TransfersAreSplitIntoStagesByPipeType) {
    const StageCase cases[] = {
        {"bulk 65536", "PIPE0", 65536, {40960, 24576}},
        {"bulk 40960", "PIPE0", 40960, {40960}},
        {"bulk 100 (not a packet multiple)", "PIPE0", 100, {100}},
        {"interrupt 10000", "PIPE2", 10000, {4096, 4096, 1808}},
        {"interrupt 65536", "PIPE2", 65536, std::vector<ULONG>(16, 4096)},
    };
    std::size_t logged = 0;
    for (const StageCase& c : cases) {
        const UserHandle pipe = OpenOrFail(PROCESS_A, c.pipe);
        std::vector<std::uint8_t> buffer(c.length);
        const IoResult result = api.ReadFile(PROCESS_A, pipe, buffer);
        EXPECT_EQ(result.status, STATUS_SUCCESS) << c.label;
        EXPECT_EQ(result.information, c.length) << c.label;
        const std::vector<ULONG> all = StageLengths();
        EXPECT_EQ(std::vector<ULONG>(all.begin() + static_cast<long>(logged), all.end()), c.stages)
            << c.label;
        logged = all.size();
        api.CloseHandle(PROCESS_A, pipe);
    }
}

TEST_F(ReadWriteTest, EachStageLandsAtItsOwnOffsetOfTheCallersBuffer) {
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE0");
    std::vector<std::uint8_t> buffer(65536);
    ASSERT_EQ(api.ReadFile(PROCESS_A, pipe, buffer).status, STATUS_SUCCESS);
    EXPECT_EQ(buffer[0], PatternFunction::PatternByte(0, 0));
    EXPECT_EQ(buffer[40959], PatternFunction::PatternByte(0, 40959));
    EXPECT_EQ(buffer[40960], PatternFunction::PatternByte(1, 0));
    EXPECT_EQ(buffer[65535], PatternFunction::PatternByte(1, 24575));
}

TEST_F(ReadWriteTest, ShortFirstStageStillLeavesTheSecondAtTheStageBoundary) {
    bus->ScriptFault(BULK_IN, TransferFault::Short(100));
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE0");
    std::vector<std::uint8_t> buffer(65536, 0xEE);
    const IoResult result = api.ReadFile(PROCESS_A, pipe, buffer);
    EXPECT_EQ(result.status, STATUS_SUCCESS);
    EXPECT_EQ(result.information, 100U + 24576U);
    EXPECT_EQ(buffer[99], PatternFunction::PatternByte(0, 99));
    EXPECT_EQ(buffer[100], 0xEE);
    EXPECT_EQ(buffer[40959], 0xEE);
    EXPECT_EQ(buffer[40960], PatternFunction::PatternByte(1, 0));
    EXPECT_EQ(buffer[65535], PatternFunction::PatternByte(1, 24575));
}

TEST_F(ReadWriteTest, WrittenBytesArriveInOrderAcrossStages) {
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE1");
    std::vector<std::uint8_t> data(65536);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i * 13 + i / 256);
    }
    const IoResult result = api.WriteFile(PROCESS_A, pipe, data);
    EXPECT_EQ(result.status, STATUS_SUCCESS);
    EXPECT_EQ(result.information, 65536U);
    EXPECT_EQ(function->Received(BULK_OUT), data);
}

TEST_F(ReadWriteTest, OversizedTransferIsRefusedBeforeAnythingIsSent) {
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE1");
    std::vector<std::uint8_t> data(65537, 0x55);
    const IoResult result = api.WriteFile(PROCESS_A, pipe, data);
    EXPECT_EQ(result.status, STATUS_INVALID_PARAMETER);
    EXPECT_EQ(result.information, 0U);
    EXPECT_EQ(bus->Stats().submitted, 0U);
    EXPECT_TRUE(function->Received(BULK_OUT).empty());
}

TEST_F(ReadWriteTest, ZeroLengthRequestsSucceedWithoutReachingTheDriver) {
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE0");
    const UserHandle deviceHandle = OpenOrFail(PROCESS_A, "");
    const std::size_t presented = host.GetKernel().Stats().presentedToDriver;
    for (UserHandle handle : {pipe, deviceHandle}) {
        const IoResult read = api.ReadFile(PROCESS_A, handle, {});
        EXPECT_EQ(read.status, STATUS_SUCCESS);
        EXPECT_EQ(read.information, 0U);
        EXPECT_EQ(api.WriteFile(PROCESS_A, handle, {}).status, STATUS_SUCCESS);
    }
    EXPECT_EQ(host.GetKernel().Stats().presentedToDriver, presented);
    EXPECT_EQ(bus->Stats().submitted, 0U);
}

TEST_F(ReadWriteTest, ReadOnADeviceHandleIsAnInvalidParameter) {
    const UserHandle deviceHandle = OpenOrFail(PROCESS_A, "");
    std::vector<std::uint8_t> buffer(64);
    EXPECT_EQ(api.ReadFile(PROCESS_A, deviceHandle, buffer).status, STATUS_INVALID_PARAMETER);
}

TEST_F(ReadWriteTest, FailedLaterStageReportsItsStatusAndNoBytes) {
    bus->ScriptFault(BULK_IN, TransferFault{});
    bus->ScriptFault(BULK_IN, TransferFault::Fail(STATUS_DEVICE_DATA_ERROR));
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE0");
    std::vector<std::uint8_t> buffer(65536);
    const IoResult result = api.ReadFile(PROCESS_A, pipe, buffer);
    EXPECT_EQ(result.status, STATUS_DEVICE_DATA_ERROR);
    EXPECT_EQ(result.information, 0U);
    EXPECT_EQ(bus->Stats().submitted, 2U);
}

TEST_F(ReadWriteTest, StalledPipeFailsUntilReset) {
    bus->ScriptFault(BULK_IN, TransferFault::Stall());
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE0");
    std::vector<std::uint8_t> buffer(512);
    EXPECT_EQ(api.ReadFile(PROCESS_A, pipe, buffer).status, STATUS_UNSUCCESSFUL);
    EXPECT_EQ(api.ReadFile(PROCESS_A, pipe, buffer).status, STATUS_UNSUCCESSFUL);
    std::vector<std::uint8_t> none;
    EXPECT_EQ(Control(PROCESS_A, pipe, IOCTL_ADAPTER_RESET_PIPE, none).status, STATUS_SUCCESS);
    EXPECT_EQ(api.ReadFile(PROCESS_A, pipe, buffer).status, STATUS_SUCCESS);
}

struct ResourceCase {
    const char* label;
    FaultPoint point;
};

TEST_F(ReadWriteTest, MissingResourcesFailTheRequestWithoutSendingOrLeaking) {
    const ResourceCase cases[] = {
        {"stage list", FaultPoint::MdlAllocation},
        {"transfer record memory", FaultPoint::PoolAllocation},
        {"formatting", FaultPoint::FormatRequest},
    };
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE0");
    const std::size_t descriptorCopies = LiveUrbMemory();
    for (const ResourceCase& c : cases) {
        host.GetKernel().Faults().Arm(c.point);
        std::vector<std::uint8_t> buffer(1000);
        const IoResult result = api.ReadFile(PROCESS_A, pipe, buffer);
        EXPECT_EQ(result.status, STATUS_INSUFFICIENT_RESOURCES) << c.label;
        EXPECT_EQ(bus->Stats().submitted, 0U) << c.label;
        EXPECT_EQ(host.GetKernel().Mdls().Stats().live, 0U) << c.label;
        EXPECT_EQ(LiveUrbMemory(), descriptorCopies) << c.label;
    }
}

TEST_F(ReadWriteTest, FormattingFailureBetweenStagesCompletesWithInsufficientResources) {
    host.GetKernel().Faults().Arm(FaultPoint::FormatRequest, 1);
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE0");
    std::vector<std::uint8_t> buffer(65536);
    const IoResult result = api.ReadFile(PROCESS_A, pipe, buffer);
    EXPECT_EQ(result.status, STATUS_INSUFFICIENT_RESOURCES);
    EXPECT_EQ(result.information, 0U);
    EXPECT_EQ(bus->Stats().submitted, 1U);
}

TEST_F(ReadWriteTest, TransferRecordMemoryIsFreedWithTheRequest) {
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE2");
    const std::size_t before = LiveUrbMemory();
    std::vector<std::uint8_t> buffer(10000);
    ASSERT_EQ(api.ReadFile(PROCESS_A, pipe, buffer).status, STATUS_SUCCESS);
    EXPECT_EQ(LiveUrbMemory(), before);
    EXPECT_EQ(host.GetKernel().Pool().Usage(BRINDLE_POOL_TAG).totalAllocations, before + 1);
}

}  // namespace
}  // namespace brindle::test
