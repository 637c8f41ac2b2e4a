#include "protocol/IdentityFrames.hpp"

#include <algorithm>

#include "platform/byteorder/ByteOrder.hpp"
#include "protocol/ParameterFrames.hpp"

namespace quillon::protocol {

using byteorder::GetBytes;
using byteorder::GetU16LE;
using byteorder::PutU16LE;
namespace {

constexpr std::uint8_t READ_REQUEST_MARK = 0xFF;
constexpr std::uint8_t DONE = 1;
constexpr std::size_t SERIAL_LOW_BYTES = 8;
constexpr std::size_t SERIAL_HIGH_BYTES = 4;
constexpr std::size_t DEVICE_TYPE_AT = 4;
constexpr std::size_t HARDWARE_AT = 0;
constexpr std::size_t FIRMWARE_AT = 2;
constexpr std::size_t FILE_SIZE_AT = 0;
constexpr std::size_t CYCLIC_AT = 3;
constexpr std::size_t TIME_ZERO_AT = 4;
constexpr std::size_t ERROR_PROOFING_AT = 5;

std::span<std::uint8_t, 8> Data(CanFrameRecord& frame) {
    return std::span<std::uint8_t, 8>(frame.Data, 8);
}
std::span<const std::uint8_t, 8> Data(const CanFrameRecord& frame) {
    return std::span<const std::uint8_t, 8>(frame.Data, 8);
}

bool IsStandard(const CanFrameRecord& frame, std::uint32_t id) {
    return frame.ExternFlag == 0 && frame.ID == id;
}

CanFrameRecord WithFirstByte(std::uint32_t id, std::uint8_t d0) {
    CanFrameRecord frame = MakeConfigFrame(id, false);
    frame.Data[0] = d0;
    return frame;
}

}  // namespace

CanFrameRecord BuildReadRequest() {
    return WithFirstByte(ID_READ_REQUEST, READ_REQUEST_MARK);
}

bool IsReadRequest(const CanFrameRecord& frame) {
    return IsStandard(frame, ID_READ_REQUEST) && frame.Data[0] == READ_REQUEST_MARK;
}

CanFrameRecord BuildCompletionFrame() {
    return WithFirstByte(ID_COMPLETION, DONE);
}

bool IsCompletion(const CanFrameRecord& frame) {
    return IsStandard(frame, ID_COMPLETION) && frame.Data[0] == DONE;
}

CanFrameRecord BuildSerialLowFrame(const SerialNumber& serial) {
    CanFrameRecord frame = MakeConfigFrame(ID_SERIAL_LOW, false);
    std::copy_n(serial.begin(), SERIAL_LOW_BYTES, frame.Data);
    return frame;
}

std::array<std::uint8_t, 8> DecodeSerialLowFrame(const CanFrameRecord& frame) {
    return GetBytes<SERIAL_LOW_BYTES>(Data(frame), 0);
}

CanFrameRecord BuildSerialHighFrame(const SerialNumber& serial, std::uint8_t deviceType) {
    CanFrameRecord frame = MakeConfigFrame(ID_SERIAL_HIGH, false);
    std::copy_n(serial.begin() + SERIAL_LOW_BYTES, SERIAL_HIGH_BYTES, frame.Data);
    frame.Data[DEVICE_TYPE_AT] = deviceType;
    return frame;
}

SerialHigh DecodeSerialHighFrame(const CanFrameRecord& frame) {
    return {GetBytes<SERIAL_HIGH_BYTES>(Data(frame), 0), frame.Data[DEVICE_TYPE_AT]};
}

CanFrameRecord BuildVersionsFrame(const Versions& versions) {
    CanFrameRecord frame = MakeConfigFrame(ID_VERSIONS, false);
    PutU16LE(Data(frame), HARDWARE_AT, versions.hardware);
    PutU16LE(Data(frame), FIRMWARE_AT, versions.firmware);
    return frame;
}

Versions DecodeVersionsFrame(const CanFrameRecord& frame) {
    return {GetU16LE(Data(frame), HARDWARE_AT), GetU16LE(Data(frame), FIRMWARE_AT)};
}

CanFrameRecord BuildSystemReply(const SystemReply& reply) {
    CanFrameRecord frame = MakeConfigFrame(ID_SYSTEM, false);
    frame.Data[FILE_SIZE_AT] = reply.fileSizeMB;
    frame.Data[CYCLIC_AT] = reply.cyclicOverwrite;
    frame.Data[TIME_ZERO_AT] = reply.firstFrameTimeZero;
    frame.Data[ERROR_PROOFING_AT] = reply.errorProofing;
    return frame;
}

SystemReply DecodeSystemReply(const CanFrameRecord& frame) {
    return {frame.Data[FILE_SIZE_AT], frame.Data[CYCLIC_AT], frame.Data[TIME_ZERO_AT],
            frame.Data[ERROR_PROOFING_AT]};
}

CanFrameRecord BuildStorageInitRequest() {
    return MakeConfigFrame(ID_STORAGE_INIT, false);
}

CanFrameRecord BuildStorageInitReply(std::uint8_t result) {
    return WithFirstByte(ID_STORAGE_INIT, result);
}

bool IsStorageInitFrame(const CanFrameRecord& frame) {
    return IsStandard(frame, ID_STORAGE_INIT);
}

bool StorageInitSucceeded(const CanFrameRecord& frame) {
    return frame.Data[0] == DONE;
}

}  // namespace quillon::protocol
