#include <gtest/gtest.h>

#include "canlog/ChannelNames.hpp"

namespace quillon::canlog {
namespace {

TEST(ChannelNamesTest, TwoDifferentInterfaceNamesOrTheReason) {
    struct Row {
        const char* name;
        const char* text;
        bool ok;
        ChannelNames names;
    };
    const ChannelNames before = {"was0", "was1"};
    const Row rows[] = {
        {"default", "can0,can1", true, {"can0", "can1"}},
        {"swapped", "can1,can0", true, {"can1", "can0"}},
        {"virtual", "vcan0,slcan3", true, {"vcan0", "slcan3"}},
        {"one name", "can0", false, before},
        {"same twice", "can0,can0", false, before},
        {"third name", "can0,can1,can2", false, before},
        {"blank in name", "can 0,can1", false, before},
        {"empty second", "can0,", false, before},
    };
    for (const auto& row : rows) {
        ChannelNames names = before;
        const std::string problem = ParseChannelNames(row.text, names);
        EXPECT_EQ(problem.empty(), row.ok) << row.name << ": " << problem;
        EXPECT_EQ(names, row.names) << row.name;
        if (!row.ok) {
            EXPECT_EQ(problem, "--channels takes two different interface names, e.g. can0,can1: " +
                                   std::string(row.text))
                << row.name;
        }
    }
    EXPECT_EQ(ChannelOfName({"vcan0", "vcan1"}, "vcan1"), 1);
    EXPECT_EQ(ChannelOfName({"vcan0", "vcan1"}, "can1"), -1);
}

TEST(ChannelNamesTest, ChannelOfNameMatchesWholeNamesOnly) {
    const ChannelNames names = {"can0", "vcan10"};
    const struct {
        const char* name;
        std::string_view interfaceName;
        int channel;
    } rows[] = {
        {"first", "can0", 0},
        {"second", "vcan10", 1},
        {"differs in the last byte", "can1", -1},
        {"differs in the first byte", "dan0", -1},
        {"a prefix", "vcan1", -1},
        {"longer", "can00", -1},
        {"empty", "", -1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ChannelOfName(names, row.interfaceName), row.channel) << row.name;
    }
}

}  // namespace
}  // namespace quillon::canlog
