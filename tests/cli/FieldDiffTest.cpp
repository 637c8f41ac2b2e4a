#include "frontends/cli/FieldDiff.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace quillon::cli {
namespace {

using nlohmann::ordered_json;

TEST(FieldDiffTest, OnlyDifferingLeavesWithBothValues) {
    const ordered_json a = {{"checksumOk", true},
                            {"can1", {{"baudIndex", 3}, {"enable", 1}}},
                            {"rules", {{{"srcId", 5}, {"srcData", {1, 2}}}}},
                            {"apn", "CMNET"}};
    const ordered_json b = {{"checksumOk", false},
                            {"can1", {{"baudIndex", 5}, {"enable", 1}}},
                            {"rules", {{{"srcId", 5}, {"srcData", {1, 9}}}, {{"srcId", 7}}}},
                            {"apn", "3GNET"}};
    const std::vector<FieldDifference> expected = {
        {"can1.baudIndex", 3, 5},
        {"rules[0].srcData[1]", 2, 9},
        {"apn", "CMNET", "3GNET"},
        {"rules[1].srcId", nullptr, 7},
    };
    EXPECT_EQ(DiffFields(a, b), expected);
    EXPECT_TRUE(DiffFields(a, a).empty());

    std::ostringstream text;
    PrintDifferences(expected, text);
    EXPECT_EQ(text.str(),
              "can1.baudIndex: 3 -> 5\n"
              "rules[0].srcData[1]: 2 -> 9\n"
              "apn: \"CMNET\" -> \"3GNET\"\n"
              "rules[1].srcId: - -> 7\n");
    EXPECT_EQ(DifferencesToJson({expected[0]}, "file", "device").dump(),
              R"([{"field":"can1.baudIndex","file":3,"device":5}])");
}

TEST(FieldDiffTest, ChecksumsAreNoFields) {
    EXPECT_TRUE(DiffFields({{"checksum", 1}, {"x", 2}}, {{"checksum", 7}, {"x", 2}}).empty());
}

}  // namespace
}  // namespace quillon::cli
