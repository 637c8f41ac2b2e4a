#include "protocol/SysPara.hpp"

#include "platform/byteorder/ByteOrder.hpp"

namespace quillon::protocol {

using byteorder::GetBytes;
using byteorder::GetU16LE;
using byteorder::PutBytes;
using byteorder::PutU16LE;

SysPara SysPara::Defaults() {
    SysPara p;
    p.fileSizeMB = STARTING_FILE_SIZE_MB;
    return p;
}

SysPara SysPara::FromBytes(std::span<const std::uint8_t, SIZE> bytes) {
    SysPara p;
    p.checksum = bytes[OFFSET_CHECKSUM];
    p.reserved1 = bytes[OFFSET_RESERVED1];
    p.fileSizeMB = GetU16LE(bytes, OFFSET_FILE_SIZE_MB);
    p.sysOption = bytes[OFFSET_SYS_OPTION];
    p.cyclicOverwrite = bytes[OFFSET_CYCLIC_OVERWRITE];
    p.reserved6 = bytes[OFFSET_RESERVED6];
    p.firstFrameTimeZero = bytes[OFFSET_FIRST_FRAME_TIME_ZERO];
    p.reserved8 = GetBytes<4>(bytes, OFFSET_RESERVED8);
    p.errorProofing = bytes[OFFSET_ERROR_PROOFING];
    p.reserved13 = GetBytes<3>(bytes, OFFSET_RESERVED13);
    return p;
}

std::array<std::uint8_t, SysPara::SIZE> SysPara::ToBytes() const {
    std::array<std::uint8_t, SIZE> bytes{};
    bytes[OFFSET_CHECKSUM] = checksum;
    bytes[OFFSET_RESERVED1] = reserved1;
    PutU16LE(bytes, OFFSET_FILE_SIZE_MB, fileSizeMB);
    bytes[OFFSET_SYS_OPTION] = sysOption;
    bytes[OFFSET_CYCLIC_OVERWRITE] = cyclicOverwrite;
    bytes[OFFSET_RESERVED6] = reserved6;
    bytes[OFFSET_FIRST_FRAME_TIME_ZERO] = firstFrameTimeZero;
    PutBytes(bytes, OFFSET_RESERVED8, reserved8);
    bytes[OFFSET_ERROR_PROOFING] = errorProofing;
    PutBytes(bytes, OFFSET_RESERVED13, reserved13);
    return bytes;
}

}  // namespace quillon::protocol
