#include "protocol/Cpc1crypt.hpp"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace quillon::protocol {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr Cpc1crypt::Key SECOND_KEY{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

Bytes Enciphered(const Cpc1crypt& cipher, Bytes bytes) {
    cipher.EncipherPayload(bytes);
    return bytes;
}

Bytes Deciphered(const Cpc1crypt& cipher, Bytes bytes) {
    cipher.DecipherPayload(bytes);
    return bytes;
}

struct VectorRow {
    const char* name;
    Cpc1crypt::Key key;
    Bytes plain;
    Bytes cipher;
};

// Output of tests/protocol/pc1_vectors.py, an independent implementation of the same steps.
const VectorRow KNOWN_ANSWERS[] = {
    {"FirmwareKeyZeros8",
     FIRMWARE_KEY,
     {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
     {0x5B, 0xDC, 0x56, 0x29, 0x87, 0x76, 0xFB, 0xDB}},
    {"FirmwareKeyCounting8",
     FIRMWARE_KEY,
     {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07},
     {0x5B, 0xDD, 0x6E, 0xCC, 0x59, 0x3E, 0x01, 0xF9}},
    {"FirmwareKeyOpeningFrame",
     FIRMWARE_KEY,
     {0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
     {0x5A, 0xF4, 0xAF, 0xD1, 0x00, 0x6C, 0x96, 0xDD}},
    {"FirmwareKeyOneByte", FIRMWARE_KEY, {0xA5}, {0xFE}},
    {"FirmwareKeySevenBytes",
     FIRMWARE_KEY,
     {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC},
     {0x4B, 0x6F, 0x78, 0x0A, 0xBA, 0xBB, 0x1C}},
    {"SecondKeyCounting8",
     SECOND_KEY,
     {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07},
     {0x24, 0xB7, 0x6A, 0xAB, 0xF5, 0x90, 0xA2, 0x67}},
};

class Cpc1cryptVectorTest : public ::testing::TestWithParam<VectorRow> {};

TEST_P(Cpc1cryptVectorTest, EnciphersAndDeciphersTheKnownAnswer) {
    const Cpc1crypt cipher(GetParam().key);
    EXPECT_EQ(Enciphered(cipher, GetParam().plain), GetParam().cipher);
    EXPECT_EQ(Deciphered(cipher, GetParam().cipher), GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(KnownAnswers, Cpc1cryptVectorTest, ::testing::ValuesIn(KNOWN_ANSWERS),
                         [](const auto& info) { return std::string(info.param.name); });

class Cpc1cryptLengthTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(Cpc1cryptLengthTest, DecipherUndoesEncipher) {
    const Cpc1crypt cipher;
    Bytes plain(GetParam());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        plain[i] = static_cast<std::uint8_t>(0x3D * i + 0x11);
    }
    const Bytes once = Enciphered(cipher, plain);
    EXPECT_EQ(Deciphered(cipher, once), plain);
    // Each call starts from the stored key, so the previous call leaves no trace.
    EXPECT_EQ(Enciphered(cipher, plain), once);
    if (!plain.empty()) {
        EXPECT_NE(once, plain);
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, Cpc1cryptLengthTest, ::testing::Values(0, 1, 7, 8, 16));

TEST(Cpc1cryptTest, DefaultKeyIsTheFirmwareKey) {
    const Bytes frame{0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(Enciphered(Cpc1crypt{}, frame), Enciphered(Cpc1crypt{FIRMWARE_KEY}, frame));
    EXPECT_NE(Enciphered(Cpc1crypt{}, frame), Enciphered(Cpc1crypt{SECOND_KEY}, frame));
}

TEST(Cpc1cryptTest, TwoThreadsSharingOneObjectGetTheSingleThreadResults) {
    const Cpc1crypt cipher;
    std::vector<Bytes> plains;
    std::vector<Bytes> expected;
    for (std::uint8_t n = 0; n < 16; ++n) {
        plains.push_back(Bytes(8, static_cast<std::uint8_t>(n * 17)));
        expected.push_back(Enciphered(cipher, plains.back()));
    }
    auto work = [&](bool encipher, int& mismatches) {
        for (int round = 0; round < 500; ++round) {
            for (std::size_t i = 0; i < plains.size(); ++i) {
                const bool good = encipher ? Enciphered(cipher, plains[i]) == expected[i]
                                           : Deciphered(cipher, expected[i]) == plains[i];
                mismatches += good ? 0 : 1;
            }
        }
    };
    int encipherMismatches = 0;
    int decipherMismatches = 0;
    std::thread ui(work, true, std::ref(encipherMismatches));
    std::thread receiver(work, false, std::ref(decipherMismatches));
    ui.join();
    receiver.join();
    EXPECT_EQ(encipherMismatches, 0);
    EXPECT_EQ(decipherMismatches, 0);
}

}  // namespace
}  // namespace quillon::protocol
