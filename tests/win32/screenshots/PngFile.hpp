// A PNG file of 8-bit RGB pixels, written without a compression library:
// the image data goes into stored (uncompressed) deflate blocks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace quillon::test {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  ///< rows top to bottom, 3 bytes a pixel
};

/// The PNG bytes of `image`.
std::vector<std::uint8_t> EncodePng(const RgbImage& image);
/// Writes `image` to `path`; false when the file cannot be written.
bool WritePng(const std::filesystem::path& path, const RgbImage& image);

}  // namespace quillon::test
