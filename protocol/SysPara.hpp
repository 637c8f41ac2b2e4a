#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quillon::protocol {

// System settings of the device (16 bytes, checksum first). Reserved bytes are kept so that
// whatever the file held is written back unchanged.
struct SysPara {
    static constexpr std::size_t SIZE = 16;
    static constexpr std::size_t OFFSET_CHECKSUM = 0;
    static constexpr std::size_t OFFSET_RESERVED1 = 1;
    static constexpr std::size_t OFFSET_FILE_SIZE_MB = 2;
    static constexpr std::size_t OFFSET_SYS_OPTION = 4;
    static constexpr std::size_t OFFSET_CYCLIC_OVERWRITE = 5;
    static constexpr std::size_t OFFSET_RESERVED6 = 6;
    static constexpr std::size_t OFFSET_FIRST_FRAME_TIME_ZERO = 7;
    static constexpr std::size_t OFFSET_RESERVED8 = 8;
    static constexpr std::size_t OFFSET_ERROR_PROOFING = 12;
    static constexpr std::size_t OFFSET_RESERVED13 = 13;

    std::uint8_t checksum = 0;
    std::uint8_t reserved1 = 0;
    std::uint16_t fileSizeMB = 0;      // size of one record file, 1..128 MB on the page
    std::uint8_t sysOption = 0;        // carried from the file to the device, never edited
    std::uint8_t cyclicOverwrite = 0;  // 1 = overwrite the oldest files when storage is full
    std::uint8_t reserved6 = 0;
    std::uint8_t firstFrameTimeZero = 0;  // 1 = first frame of each file gets time 0
    std::array<std::uint8_t, 4> reserved8{};
    std::uint8_t errorProofing = 0;  // 3 = error proofing on, 0 = off
    std::array<std::uint8_t, 3> reserved13{};

    /// The smallest record file the system page offers, and the one a program without a
    /// settings file shows and sends.
    static constexpr std::uint16_t STARTING_FILE_SIZE_MB = 1;

    // The system settings used when no valid copy exists: 1 MB files, every option off.
    static SysPara Defaults();

    static SysPara FromBytes(std::span<const std::uint8_t, SIZE> bytes);
    std::array<std::uint8_t, SIZE> ToBytes() const;

    bool operator==(const SysPara&) const = default;
};

static_assert(SysPara::OFFSET_FILE_SIZE_MB + 2 == SysPara::OFFSET_SYS_OPTION);
static_assert(SysPara::OFFSET_RESERVED8 + 4 == SysPara::OFFSET_ERROR_PROOFING);
static_assert(SysPara::OFFSET_RESERVED13 + 3 == SysPara::SIZE);

}  // namespace quillon::protocol
