#include <gtest/gtest.h>

#include "sim/DeviceConfig.hpp"

namespace quillon::sim {
namespace {

TEST(DeviceConfigTest, KeysOfTheAdapterSpec) {
    std::string error;
    const auto config =
        ParseDeviceConfig("type=2,fw=11,serial=0102030405060708090A0B0C,storage-delay-ms=5", error);
    ASSERT_TRUE(config) << error;
    EXPECT_EQ(config->type, 2);
    EXPECT_EQ(config->firmwareVersion, 11);
    EXPECT_EQ(config->serial[0], 0x01);
    EXPECT_EQ(config->serial[11], 0x0C);
    EXPECT_EQ(config->storageDelayMs, 5u);
}

TEST(DeviceConfigTest, BadValuesNameTheirKey) {
    for (const char* options : {"type=300", "serial=0102", "fw=x", "colour=red", "hw="}) {
        std::string error;
        EXPECT_FALSE(ParseDeviceConfig(options, error)) << options;
        EXPECT_NE(error.find(std::string(options).substr(0, 3)), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace quillon::sim
