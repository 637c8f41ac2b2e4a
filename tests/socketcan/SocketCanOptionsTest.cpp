// The options of a "socketcan:..." adapter spec.
#include <gtest/gtest.h>

#include "platform/kelvix/socketcan/SocketCanOptions.hpp"

namespace kelvix {
namespace {

struct GoodRow {
    const char* name;
    const char* text;
    const char* channel0;
    const char* channel1;
    std::uint32_t queueWaitMs;
};

class SocketCanOptionsGoodTest : public ::testing::TestWithParam<GoodRow> {};

TEST_P(SocketCanOptionsGoodTest, Parses) {
    std::string error;
    const auto options = ParseSocketCanOptions(GetParam().text, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->interfaces[0], GetParam().channel0);
    EXPECT_EQ(options->interfaces[1], GetParam().channel1);
    EXPECT_EQ(options->queueWaitMs, GetParam().queueWaitMs);
}

INSTANTIATE_TEST_SUITE_P(
    Specs, SocketCanOptionsGoodTest,
    ::testing::Values(GoodRow{"TwoChannels", "can0,can1", "can0", "can1", 1000},
                      GoodRow{"OneChannel", "vcan0", "vcan0", "", 1000},
                      GoodRow{"QueueWait", "can0,queue-wait-ms=5000,can1", "can0", "can1", 5000},
                      GoodRow{"EmptyItemsSkipped", ",can0,,", "can0", "", 1000},
                      GoodRow{"LongestName", "abcdefghijklmno", "abcdefghijklmno", "", 1000}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadRow {
    const char* name;
    const char* text;
    const char* error;
};

class SocketCanOptionsBadTest : public ::testing::TestWithParam<BadRow> {};

TEST_P(SocketCanOptionsBadTest, SaysWhichItemIsWrong) {
    std::string error;
    EXPECT_FALSE(ParseSocketCanOptions(GetParam().text, error));
    EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Specs, SocketCanOptionsBadTest,
    ::testing::Values(BadRow{"Nothing", "",
                             "socketcan needs an interface name, e.g. socketcan:can0,can1"},
                      BadRow{"OnlyAWait", "queue-wait-ms=10",
                             "socketcan needs an interface name, e.g. socketcan:can0,can1"},
                      BadRow{"ThreeChannels", "can0,can1,can2",
                             "socketcan interface \"can2\": the adapter has 2 channels"},
                      BadRow{"NameTooLong", "abcdefghijklmnop",
                             "socketcan option \"abcdefghijklmnop\" is not an interface name"},
                      BadRow{"UnknownKey", "can0,bitrate=500000",
                             "socketcan option \"bitrate=500000\" is not an interface name"},
                      BadRow{"WaitNotANumber", "can0,queue-wait-ms=soon",
                             "socketcan option \"queue-wait-ms=soon\" needs a whole number of ms"},
                      BadRow{"WaitEmpty", "can0,queue-wait-ms=",
                             "socketcan option \"queue-wait-ms=\" needs a whole number of ms"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelvix
