// SHA-256, fed incrementally, so the device simulator can say which image it
// received without keeping a second copy. The hashing itself is the system's
// crypto library (libcrypto, or CNG on Windows); this is only its shape.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace quillon::sim {

class Sha256 {
  public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    ~Sha256();
    Sha256(Sha256&&) noexcept;
    Sha256& operator=(Sha256&&) noexcept;

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
    struct Context;  ///< the crypto library's hash state, one body per platform
    std::unique_ptr<Context> context_;
};

}  // namespace quillon::sim
