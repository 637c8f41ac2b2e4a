// quillon-devsim's command line.
#include <gtest/gtest.h>

#include <sstream>

#include "frontends/devsim/DevsimOptions.hpp"

namespace quillon::sim {
namespace {

std::optional<DevsimOptions> Parse(std::vector<const char*> args, int& status, std::string& err) {
    args.insert(args.begin(), "quillon-devsim");
    std::ostringstream out;
    std::ostringstream errors;
    auto options =
        ParseDevsimOptions(static_cast<int>(args.size()), args.data(), out, errors, status);
    err = errors.str();
    return options;
}

TEST(DevsimOptionsTest, DeviceFlagsBecomeTheDeviceConfiguration) {
    int status = -1;
    std::string err;
    const auto options = Parse({"--bus", "qcanbus:virtualcan:can0,can1", "--type", "2", "--fw",
                                "12", "--serial", "0102030405060708090A0B0C", "--erase-ms", "5"},
                               status, err);
    ASSERT_TRUE(options) << err;
    EXPECT_EQ(options->bus, "qcanbus:virtualcan:can0,can1");
    EXPECT_EQ(options->device.type, 2);
    EXPECT_EQ(options->device.firmwareVersion, 12);
    EXPECT_EQ(options->device.serial[11], 0x0C);
    EXPECT_EQ(options->device.eraseMs, 5u);
    EXPECT_EQ(options->deviceText, "erase-ms=5,fw=12,serial=0102030405060708090A0B0C,type=2");
}

TEST(DevsimOptionsTest, FaultFlags) {
    int status = -1;
    std::string err;
    const auto options =
        Parse({"--bus", "sim", "--drop", "5", "--reply-drop", "7", "--reply-delay-ms", "40",
               "--silent", "--seed", "9", "--refuse", "4", "--bitrate", "250000"},
              status, err);
    ASSERT_TRUE(options) << err;
    EXPECT_EQ(options->device.dropPercent, 5);
    EXPECT_EQ(options->device.replyDropPercent, 7);
    EXPECT_EQ(options->device.replyDelayMs, 40u);
    EXPECT_TRUE(options->device.silent);
    EXPECT_EQ(options->device.seed, 9u);
    EXPECT_EQ(options->refuseFrom, 4u);
    EXPECT_EQ(options->bitrate, 250000u);
    EXPECT_EQ(options->deviceText, "drop=5,reply-delay-ms=40,reply-drop=7,seed=9,silent");
    EXPECT_FALSE(Parse({"--bus", "sim", "--refuse", "0"}, status, err));
    EXPECT_EQ(status, DEVSIM_USAGE);
    EXPECT_FALSE(Parse({"--bus", "sim", "--bitrate", "0"}, status, err));
    EXPECT_EQ(status, DEVSIM_USAGE);
    EXPECT_FALSE(Parse({"--bus", "sim", "--drop", "101"}, status, err));
    EXPECT_EQ(status, DEVSIM_USAGE);
}

// The flags come from the device's own table of keys: a key added there is a
// flag here, with the same help.
TEST(DevsimOptionsTest, EveryDeviceOptionIsAFlagWithItsHelp) {
    const char* args[] = {"quillon-devsim", "--help"};
    std::ostringstream out;
    std::ostringstream errors;
    int status = -1;
    EXPECT_FALSE(ParseDevsimOptions(2, args, out, errors, status));
    EXPECT_EQ(status, DEVSIM_OK);
    const std::string help = out.str();
    ASSERT_FALSE(DeviceOptions().empty());
    for (const DeviceOption& option : DeviceOptions()) {
        const std::string flag = "--" + std::string(option.key) + (option.flag ? " " : " TEXT");
        EXPECT_NE(help.find(flag), std::string::npos) << flag << " missing from\n" << help;
        EXPECT_NE(help.find(option.help), std::string::npos) << option.help;
    }
}

TEST(DevsimOptionsTest, MistakesEndTheProgramWithUsageStatus) {
    int status = -1;
    std::string err;
    EXPECT_FALSE(Parse({"--type", "2"}, status, err)) << "the bus is required";
    EXPECT_EQ(status, DEVSIM_USAGE);
    EXPECT_FALSE(Parse({"--bus", "sim", "--type", "300"}, status, err));
    EXPECT_EQ(status, DEVSIM_USAGE);
    EXPECT_EQ(err,
              "quillon-devsim: simulated device option \"type=300\" is unknown or has a bad "
              "value\n");
    EXPECT_FALSE(Parse({"--help"}, status, err));
    EXPECT_EQ(status, DEVSIM_OK);
}

}  // namespace
}  // namespace quillon::sim
