// The field tables' two walks: what PutFields writes and GetFields reads back,
// width by width, and which tables FieldsFit refuses.
#include "protocol/FrameField.hpp"

#include <gtest/gtest.h>

#include "support/BytesAt.hpp"

namespace quillon::protocol {
namespace {

using test::BytesAt;

struct Sample {
    std::uint8_t small = 0;
    std::uint16_t medium = 0;
    std::uint32_t large = 0;
    std::int32_t signedLarge = 0;
    std::uint32_t port = 0;  ///< kept in 32 bits, sent in 16
};

constexpr std::array NARROW_FIELDS{Field(0, &Sample::small), Field(1, 2, &Sample::port),
                                   Field(3, &Sample::medium)};
constexpr std::array NARROW_MARKS{FrameMark{7, 0xFF}};
constexpr std::array WIDE_FIELDS{Field(0, &Sample::signedLarge), Field(4, &Sample::large)};

TEST(FrameFieldTest, PutsEachFieldLowByteFirstAndLeavesOtherBytes) {
    Sample sample;
    sample.small = 0x11;
    sample.port = 0x00AB4455;
    sample.medium = 0x2233;
    std::array<std::uint8_t, 8> data;
    data.fill(0xCC);
    PutFields(data, sample, NARROW_FIELDS);
    PutMarks(data, NARROW_MARKS);
    EXPECT_TRUE(BytesAt(data, 0, {0x11, 0x55, 0x44, 0x33, 0x22, 0xCC, 0xCC, 0xFF}));

    sample.signedLarge = -2;
    sample.large = 0x12345678;
    PutFields(data, sample, WIDE_FIELDS);
    EXPECT_TRUE(BytesAt(data, 0, {0xFE, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12}));
}

TEST(FrameFieldTest, GetsEachFieldBackAndANarrowFieldReplacesTheWholeMember) {
    const std::array<std::uint8_t, 8> narrow{0x11, 0x55, 0x44, 0x33, 0x22, 0xCC, 0xCC, 0xFF};
    Sample sample;
    sample.port = 0xFFFFFFFF;
    sample.large = 0x0BADF00D;
    GetFields(narrow, sample, NARROW_FIELDS);
    EXPECT_EQ(sample.small, 0x11);
    EXPECT_EQ(sample.port, 0x4455u) << "the high bits the frame does not carry are cleared";
    EXPECT_EQ(sample.medium, 0x2233);
    EXPECT_EQ(sample.large, 0x0BADF00Du) << "a member outside the table is left alone";

    const std::array<std::uint8_t, 8> wide{0xFE, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12};
    GetFields(wide, sample, WIDE_FIELDS);
    EXPECT_EQ(sample.signedLarge, -2);
    EXPECT_EQ(sample.large, 0x12345678u);
}

TEST(FrameFieldTest, FieldsFitRefusesSharedBytesAndBytesPastTheEighth) {
    EXPECT_TRUE(FieldsFit(NARROW_FIELDS, NARROW_MARKS));
    EXPECT_TRUE(FieldsFit(WIDE_FIELDS));
    EXPECT_FALSE(FieldsFit(std::array{Field(0, &Sample::large), Field(3, &Sample::small)}))
        << "byte 3 taken twice";
    EXPECT_FALSE(FieldsFit(std::array{Field(5, &Sample::large)})) << "bytes 5..8";
    EXPECT_FALSE(FieldsFit(std::array{Field(0, 3, &Sample::large)})) << "three bytes";
    EXPECT_FALSE(FieldsFit(NARROW_FIELDS, std::array{FrameMark{2, 0xFF}})) << "a mark on the port";
    EXPECT_FALSE(FieldsFit(WIDE_FIELDS, std::array{FrameMark{8, 0xFF}})) << "a mark past the end";
}

}  // namespace
}  // namespace quillon::protocol
