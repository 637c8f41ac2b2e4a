#include "protocol/BlockChecksum.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace quillon::protocol {
namespace {

struct ChecksumRow {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::uint8_t expected;
};

class BlockChecksumTest : public ::testing::TestWithParam<ChecksumRow> {};

TEST_P(BlockChecksumTest, IsTheComplementOfTheByteSum) {
    EXPECT_EQ(BlockChecksum(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    KnownValues, BlockChecksumTest,
    ::testing::Values(ChecksumRow{"Empty", {}, 0xFF},
                      ChecksumRow{"AllZero327", std::vector<std::uint8_t>(327, 0), 0xFF},
                      ChecksumRow{"OneTwoThree", {1, 2, 3}, 0xF9},
                      ChecksumRow{"SingleFF", {0xFF}, 0x00},
                      ChecksumRow{"SumWrapsAt256", std::vector<std::uint8_t>(256, 1), 0xFF},
                      ChecksumRow{"Carry", {0x80, 0x80, 0x01}, 0xFE}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SectionChecksumTest, ComparesTheFirstByteWithTheRest) {
    EXPECT_TRUE(SectionChecksumMatches(std::vector<std::uint8_t>{0xF9, 1, 2, 3}));
    EXPECT_FALSE(SectionChecksumMatches(std::vector<std::uint8_t>{0xF8, 1, 2, 3}));
    EXPECT_FALSE(SectionChecksumMatches(std::vector<std::uint8_t>{}));
}

}  // namespace
}  // namespace quillon::protocol
