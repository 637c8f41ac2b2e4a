// The screenshots' PNG files, checked against bytes worked out by hand.
#include "tests/win32/screenshots/PngFile.hpp"

#include <gtest/gtest.h>

namespace quillon::test {
namespace {

TEST(PngFileTest, OneRedPixelIsSignatureHeaderStoredDataAndEnd) {
    const std::vector<std::uint8_t> png = EncodePng({1, 1, {0xFF, 0x00, 0x00}});
    const std::vector<std::uint8_t> expected = {
        0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,
        // IHDR: 1 x 1, 8 bits, RGB, and its CRC
        0x00, 0x00, 0x00, 0x0D, 'I', 'H', 'D', 'R', 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01,
        0x08, 0x02, 0x00, 0x00, 0x00, 0x90, 0x77, 0x53, 0xDE,
        // IDAT: zlib header, one final stored block of 4 bytes (filter 0, red), Adler-32
        0x00, 0x00, 0x00, 0x0F, 'I', 'D', 'A', 'T', 0x78, 0x01, 0x01, 0x04, 0x00, 0xFB, 0xFF, 0x00,
        0xFF, 0x00, 0x00, 0x03, 0x01, 0x01, 0x00};
    ASSERT_GE(png.size(), expected.size() + 4 + 12);
    EXPECT_EQ(std::vector<std::uint8_t>(png.begin(), png.begin() + expected.size()), expected);
    // IDAT's CRC, then IEND with its fixed CRC.
    const std::vector<std::uint8_t> end = {0x00, 0x00, 0x00, 0x00, 'I',  'E',
                                           'N',  'D',  0xAE, 0x42, 0x60, 0x82};
    EXPECT_EQ(std::vector<std::uint8_t>(png.end() - 12, png.end()), end);
    EXPECT_EQ(png.size(), expected.size() + 4 + 12);
}

}  // namespace
}  // namespace quillon::test
