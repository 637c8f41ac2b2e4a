#include <gtest/gtest.h>

#include "platform/kmdf/UsbDescriptors.hpp"

namespace kmdf {
namespace {

using Bytes = std::vector<std::uint8_t>;

const UsbEndpointInfo TWO_BULK[] = {{0x81, UsbEndpointType::Bulk, 64, 0},
                                    {0x01, UsbEndpointType::Bulk, 512, 0}};

TEST(UsbDescriptorsTest, ConfigurationSetHasExactBytes) {
    const Bytes expected{
        9, 2, 32,   0, 1,    1,    0, 0x80, 50,  // configuration, wTotalLength 32
        9, 4, 0,    0, 2,    0xFF, 0, 0,    0,   // interface 0, two endpoints
        7, 5, 0x81, 2, 64,   0,    0,            // bulk IN, 64-byte packets
        7, 5, 0x01, 2, 0x00, 0x02, 0,            // bulk OUT, 512-byte packets
    };
    EXPECT_EQ(EncodeConfigDescriptor(TWO_BULK), expected);
}

TEST(UsbDescriptorsTest, DecodeReturnsTheEndpointsInOrder) {
    const UsbConfigurationInfo info = DecodeConfigDescriptor(EncodeConfigDescriptor(TWO_BULK));
    ASSERT_TRUE(info.error.empty()) << info.error;
    ASSERT_EQ(info.interfaces.size(), 1U);
    const auto& endpoints = info.interfaces[0].endpoints;
    ASSERT_EQ(endpoints.size(), 2U);
    EXPECT_EQ(endpoints[1].address, 0x01);
    EXPECT_EQ(endpoints[1].maxPacketSize, 512);
    EXPECT_TRUE(endpoints[0].IsIn());
}

struct BrokenCase {
    const char* label;
    std::size_t offset;
    std::uint8_t value;
    const char* error;
};

TEST(UsbDescriptorsTest, BrokenSetsSayWhatIsWrongAndWhere) {
    const BrokenCase cases[] = {
        {"wrong type", 1, 3, "no configuration descriptor at offset 0"},
        {"total length", 2, 33, "wTotalLength differs from the set's length at offset 2"},
        {"endpoint too long", 18, 20, "descriptor length runs past the set at offset 18"},
        {"zero length", 9, 0, "descriptor length runs past the set at offset 9"},
    };
    for (const BrokenCase& c : cases) {
        Bytes set = EncodeConfigDescriptor(TWO_BULK);
        set[c.offset] = c.value;
        EXPECT_EQ(DecodeConfigDescriptor(set).error, c.error) << c.label;
    }
}

TEST(UsbDescriptorsTest, DeviceDescriptorRoundTrips) {
    const Bytes bytes = EncodeDeviceDescriptor(UsbDeviceIdentity{0x1234, 0xABCD, 0x0102});
    ASSERT_EQ(bytes.size(), USB_DEVICE_DESCRIPTOR_LENGTH);
    const USB_DEVICE_DESCRIPTOR decoded = DecodeDeviceDescriptor(bytes);
    EXPECT_EQ(decoded.idVendor, 0x1234);
    EXPECT_EQ(decoded.idProduct, 0xABCD);
    EXPECT_EQ(decoded.bcdDevice, 0x0102);
    EXPECT_EQ(bytes[8], 0x34);
    EXPECT_EQ(bytes[9], 0x12);
}

}  // namespace
}  // namespace kmdf
