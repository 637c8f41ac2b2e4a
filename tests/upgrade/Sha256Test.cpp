#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/Sha256.hpp"

namespace quillon::sim {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

/// 64 KiB: byte i = (31 i) xor (i >> 8).
std::vector<std::uint8_t> Pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 31) ^ (i >> 8));
    }
    return bytes;
}

struct Vector {
    const char* name;
    std::vector<std::uint8_t> message;
    const char* digest;
};

// Digests from the published examples and, for the pattern, from sha256sum.
TEST(Sha256Test, KnownAnswers) {
    const std::vector<Vector> vectors = {
        {"empty", {}, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", Bytes("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"two blocks", Bytes("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"55 bytes", Pattern(55),
         "27d3069ecafb8507f92fa750312a99afe0908525e67b2abe8942b51659945b1b"},
        {"56 bytes", Pattern(56),
         "3428ab653c0a1ac104ee80fd3bed55135da5556ca4c26da9c781ae56364a6969"},
        {"64 bytes", Pattern(64),
         "a08f82c23e6c13629d8e33d0d2a13005fb104363eb793b5e8842044951d27764"},
        {"64 KiB", Pattern(65536),
         "82d97640ca5cbb8d1d4d89722c446249d4114d3808b60ad30deee0cdef7ab443"},
        {"a million a", std::vector<std::uint8_t>(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& vector : vectors) {
        EXPECT_EQ(Sha256::HexOf(vector.message), vector.digest) << vector.name;
    }
}

TEST(Sha256Test, PiecewiseFeedingAndFinishingEarlyChangeNothing) {
    const auto message = Pattern(65536);
    Sha256 hash;
    std::size_t at = 0;
    bool checkedEarly = false;
    for (std::size_t piece = 0; at < message.size(); piece = (piece + 1) % 70) {
        const std::size_t take = std::min(piece, message.size() - at);
        hash.Update(std::span(message).subspan(at, take));
        at += take;
        if (!checkedEarly && at >= 4096) {
            checkedEarly = true;
            EXPECT_EQ(Sha256::Hex(hash.Finish()), Sha256::HexOf(std::span(message).first(at)));
        }
    }
    EXPECT_EQ(Sha256::Hex(hash.Finish()),
              "82d97640ca5cbb8d1d4d89722c446249d4114d3808b60ad30deee0cdef7ab443");
    hash.Reset();
    EXPECT_EQ(Sha256::Hex(hash.Finish()), Sha256::HexOf({}));
}

}  // namespace
}  // namespace quillon::sim
