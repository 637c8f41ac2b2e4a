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

TEST(DeviceConfigTest, FaultKeys) {
    std::string error;
    const auto config = ParseDeviceConfig(
        "drop=5,reply-drop=100,reply-delay-ms=250,silent,seed=18446744073709551615", error);
    ASSERT_TRUE(config) << error;
    EXPECT_EQ(config->dropPercent, 5);
    EXPECT_EQ(config->replyDropPercent, 100);
    EXPECT_EQ(config->replyDelayMs, 250u);
    EXPECT_TRUE(config->silent);
    EXPECT_EQ(config->seed, 18446744073709551615u);
    const auto plain = ParseDeviceConfig("type=1", error);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->silent);
    EXPECT_EQ(plain->dropPercent, 0);
    EXPECT_FALSE(plain->seed) << "without a seed every run draws afresh";
}

TEST(DeviceConfigTest, BadValuesNameTheirKey) {
    // Good options around the bad one: the error names the bad one only.
    for (const std::string bad :
         {"type=300", "serial=0102", "fw=x", "colour=red", "hw=", "drop=101", "reply-drop=-1",
          "silent=1", "seed=x", "reply-delay-ms="}) {
        std::string error;
        EXPECT_FALSE(ParseDeviceConfig("storage-delay-ms=5," + bad + ",erase-ms=7", error)) << bad;
        EXPECT_EQ(error, "simulated device option \"" + bad + "\" is unknown or has a bad value");
    }
}

}  // namespace
}  // namespace quillon::sim
