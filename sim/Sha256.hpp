// SHA-256 (FIPS 180-4), fed incrementally, so the device simulator can say
// which image it received without keeping a second copy.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace quillon::sim {

class Sha256 {
  public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    /// Hashes `bytes` after everything given before.
    void Update(std::span<const std::uint8_t> bytes);
    /// The digest of everything given so far; the object is left unchanged.
    Digest Finish() const;
    /// Starts over with nothing hashed.
    void Reset();

    /// The digest as 64 lower-case hexadecimal digits.
    static std::string Hex(const Digest& digest);
    /// Hex of the digest of `bytes`.
    static std::string HexOf(std::span<const std::uint8_t> bytes);

  private:
    static constexpr std::size_t BLOCK_BYTES = 64;

    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_{};
    std::array<std::uint8_t, BLOCK_BYTES> pending_{};
    std::size_t pendingBytes_ = 0;
    std::uint64_t totalBytes_ = 0;
};

}  // namespace quillon::sim
