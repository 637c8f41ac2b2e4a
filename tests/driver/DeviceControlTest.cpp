#include <thread>

#include "platform/kmdf/UsbDescriptors.hpp"
#include "tests/driver/BrindleFixture.hpp"

namespace brindle::test {
namespace {

using namespace kmdf;
using Bytes = std::vector<std::uint8_t>;

class DeviceControlTest : public BrindleFixture {};

TEST_F(DeviceControlTest, ConfigDescriptorIsTheWholeSet) {
    const UserHandle handle = OpenOrFail(PROCESS_B, "");
    Bytes out(64, 0xCC);
    const IoResult result = Control(PROCESS_B, handle, IOCTL_ADAPTER_GET_CONFIG_DESCRIPTOR, out);
    EXPECT_EQ(result.status, STATUS_SUCCESS);
    ASSERT_EQ(result.information, 46U);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 46), bus->ConfigDescriptor());
    EXPECT_EQ(out[46], 0xCC);
}

TEST_F(DeviceControlTest, PipeInformationRecordIsLittleEndian) {
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE2");
    Bytes out(20);
    const IoResult result = Control(PROCESS_A, pipe, IOCTL_ADAPTER_GET_PIPE_INFORMATION, out);
    EXPECT_EQ(result.status, STATUS_SUCCESS);
    EXPECT_EQ(result.information, 20U);
    const Bytes expected{20, 0, 0, 0, 16, 0, 0, 0, 0x82, 1, 0, 0, 4, 0, 0, 0, 0, 0, 1, 0};
    EXPECT_EQ(out, expected);
    Bytes tooSmall(19, 0xAA);
    const IoResult refused = Control(PROCESS_A, pipe, IOCTL_ADAPTER_GET_PIPE_INFORMATION, tooSmall);
    EXPECT_EQ(refused.status, STATUS_BUFFER_TOO_SMALL);
    EXPECT_EQ(refused.information, 20U);
    EXPECT_EQ(tooSmall, Bytes(19, 0xAA));
}

TEST_F(DeviceControlTest, PipeCountAnswersOnADeviceHandle) {
    const UserHandle handle = OpenOrFail(PROCESS_B, "");
    Bytes out(1);
    const IoResult result = Control(PROCESS_B, handle, IOCTL_ADAPTER_GET_PIPE_COUNT, out);
    EXPECT_EQ(result.status, STATUS_SUCCESS);
    EXPECT_EQ(result.information, 1U);
    EXPECT_EQ(out[0], 4);
    Bytes none;
    EXPECT_EQ(Control(PROCESS_B, handle, IOCTL_ADAPTER_GET_PIPE_COUNT, none).status,
              STATUS_BUFFER_TOO_SMALL);
}

TEST_F(DeviceControlTest, EndpointStatusWithoutAnswerIs00FEAfter100Ms) {
    bus->SetControlAnswers(false);
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE0");
    Bytes out(2);
    // The handler waits inside the call, as a synchronous request would.
    IoResult result;
    std::thread caller(
        [&] { result = Control(PROCESS_A, pipe, IOCTL_ADAPTER_GET_ENDPOINT_STATUS, out); });
    ASSERT_TRUE(clock->WaitForWaiters(1));
    EXPECT_EQ(clock->PendingDeadlines(),
              std::vector<std::chrono::nanoseconds>{std::chrono::milliseconds(100)});
    clock->Advance(std::chrono::milliseconds(99));
    EXPECT_EQ(clock->PendingDeadlines().size(), 1U);
    clock->Advance(std::chrono::milliseconds(1));
    caller.join();
    EXPECT_EQ(result.status, STATUS_SUCCESS);
    EXPECT_EQ(result.information, 2U);
    EXPECT_EQ(out, (Bytes{0xFE, 0x00}));
}

TEST_F(DeviceControlTest, EndpointStatusReportsAHaltedEndpoint) {
    bus->ScriptFault(BULK_IN, TransferFault::Stall());
    const UserHandle pipe = OpenOrFail(PROCESS_A, "PIPE0");
    Bytes out(2);
    ASSERT_EQ(Control(PROCESS_A, pipe, IOCTL_ADAPTER_GET_ENDPOINT_STATUS, out).status,
              STATUS_SUCCESS);
    EXPECT_EQ(out, (Bytes{0x00, 0x00}));
    Bytes data(64);
    api.ReadFile(PROCESS_A, pipe, data);
    ASSERT_EQ(Control(PROCESS_A, pipe, IOCTL_ADAPTER_GET_ENDPOINT_STATUS, out).status,
              STATUS_SUCCESS);
    EXPECT_EQ(out, (Bytes{0x01, 0x00}));
}

TEST_F(DeviceControlTest, ResetDeviceResetsThePortOnlyWhileConnected) {
    const UserHandle handle = OpenOrFail(PROCESS_B, "");
    Bytes none;
    EXPECT_EQ(Control(PROCESS_B, handle, IOCTL_ADAPTER_RESET_DEVICE, none).status, STATUS_SUCCESS);
    EXPECT_EQ(bus->Stats().portResets, 1U);
    bus->SetConnected(false);
    EXPECT_EQ(Control(PROCESS_B, handle, IOCTL_ADAPTER_RESET_DEVICE, none).status,
              STATUS_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(bus->Stats().portResets, 1U);
    bus->SetConnected(true);
    bus->SetResetPortStatus(STATUS_UNSUCCESSFUL);
    EXPECT_EQ(Control(PROCESS_B, handle, IOCTL_ADAPTER_RESET_DEVICE, none).status,
              STATUS_UNSUCCESSFUL);
}

struct CodeCase {
    const char* label;
    std::uint32_t code;
    NTSTATUS status;
};

TEST_F(DeviceControlTest, PipeRequestsOnADeviceHandleAndUnknownCodesAreRefused) {
    const UserHandle handle = OpenOrFail(PROCESS_B, "");
    const CodeCase cases[] = {
        {"reset pipe", IOCTL_ADAPTER_RESET_PIPE, STATUS_INVALID_PARAMETER},
        {"pipe information", IOCTL_ADAPTER_GET_PIPE_INFORMATION, STATUS_INVALID_PARAMETER},
        {"endpoint status", IOCTL_ADAPTER_GET_ENDPOINT_STATUS, STATUS_INVALID_PARAMETER},
        {"function 6", CTL_CODE(0, 6, METHOD_BUFFERED, FILE_ANY_ACCESS),
         STATUS_INVALID_DEVICE_REQUEST},
        {"other device type", CTL_CODE(0x22, 0, METHOD_BUFFERED, FILE_ANY_ACCESS),
         STATUS_INVALID_DEVICE_REQUEST},
    };
    for (const CodeCase& c : cases) {
        Bytes out(32, 0x77);
        const IoResult result = Control(PROCESS_B, handle, c.code, out);
        EXPECT_EQ(result.status, c.status) << c.label;
        EXPECT_EQ(result.information, 0U) << c.label;
        EXPECT_EQ(out, Bytes(32, 0x77)) << c.label;
    }
}

/// A device with only the two bulk endpoints: a 32-byte descriptor set.
class SmallDeviceControlTest : public BrindleFixture {
  protected:
    SimUsbDeviceConfig DeviceConfig() override {
        SimUsbDeviceConfig config;
        config.endpoints = {{BULK_IN, UsbEndpointType::Bulk, 64, 0},
                            {BULK_OUT, UsbEndpointType::Bulk, 64, 0}};
        return config;
    }
};

TEST_F(SmallDeviceControlTest, DescriptorIntoANineByteBufferReportsTheSizeNeeded) {
    const UserHandle handle = OpenOrFail(PROCESS_B, "");
    Bytes out(9, 0x11);
    const IoResult result = Control(PROCESS_B, handle, IOCTL_ADAPTER_GET_CONFIG_DESCRIPTOR, out);
    EXPECT_EQ(result.status, STATUS_BUFFER_TOO_SMALL);
    EXPECT_EQ(result.information, 32U);
    EXPECT_EQ(out, Bytes(9, 0x11));
    Bytes enough(32);
    EXPECT_EQ(Control(PROCESS_B, handle, IOCTL_ADAPTER_GET_CONFIG_DESCRIPTOR, enough).information,
              32U);
    EXPECT_EQ(enough, bus->ConfigDescriptor());
}

}  // namespace
}  // namespace brindle::test
