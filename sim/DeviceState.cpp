#include "sim/DeviceState.hpp"

#include <cstdlib>
#include <fstream>
#include <system_error>

#include "platform/byteorder/ByteOrder.hpp"
#include "platform/system/Utf8Path.hpp"
#include "protocol/SaveFile.hpp"
#include "protocol/SettingsDecoder.hpp"

namespace quillon::sim {
namespace {

using byteorder::GetU32LE;
using byteorder::PutU32LE;

constexpr std::array<std::uint8_t, 8> MAGIC = {'Q', 'L', 'N', 'D', 'E', 'V', 'S', 'T'};
constexpr std::uint16_t VERSION = 1;

constexpr std::size_t OFFSET_VERSION = 8;
constexpr std::size_t OFFSET_TYPE = 10;
constexpr std::size_t OFFSET_SERIAL = 12;
constexpr std::size_t OFFSET_STORE = 24;
constexpr std::size_t OFFSET_DTU_BASIC = OFFSET_STORE + protocol::SETTINGS_FILE_SIZE;
constexpr std::size_t OFFSET_DTU_ADV = OFFSET_DTU_BASIC + protocol::DtuBasicPara::SIZE;
constexpr std::size_t OFFSET_IMAGE_PRESENT = OFFSET_DTU_ADV + protocol::DtuAdvPara::SIZE;
constexpr std::size_t OFFSET_IMAGE_LENGTH = OFFSET_IMAGE_PRESENT + 4;
constexpr std::size_t OFFSET_IMAGE_HASH = OFFSET_IMAGE_LENGTH + 8;
constexpr std::size_t OFFSET_CHECK = OFFSET_IMAGE_HASH + 32;

static_assert(OFFSET_DTU_BASIC == 1696 && OFFSET_DTU_ADV == 1956);
static_assert(OFFSET_IMAGE_PRESENT == 2152 && OFFSET_IMAGE_LENGTH == 2156);
static_assert(OFFSET_IMAGE_HASH == 2164 && OFFSET_CHECK == 2196);
static_assert(OFFSET_CHECK + 4 == STATE_FILE_SIZE);

std::uint32_t Fnv1a(std::span<const std::uint8_t> bytes) {
    std::uint32_t hash = 2166136261u;
    for (const std::uint8_t byte : bytes) {
        hash = (hash ^ byte) * 16777619u;
    }
    return hash;
}

std::string SerialHex(const std::array<std::uint8_t, 12>& serial) {
    static constexpr char DIGITS[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t byte : serial) {
        text += DIGITS[byte >> 4];
        text += DIGITS[byte & 0x0F];
    }
    return text;
}

// The parameter store as a settings file holds it; a section whose checksum
// fails holds the factory record's, as a device that was never written does.
protocol::SettingsSections DecodeStore(std::span<const std::uint8_t> bytes) {
    protocol::DecodedSettings decoded = protocol::DecodeSettings(bytes);
    protocol::ApplySettingsFallbacks(decoded.sections, decoded.checks);
    return decoded.sections;
}

template <class Record>
Record DecodeRecord(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return Record::FromBytes(bytes.subspan(offset).first<Record::SIZE>());
}

std::uint64_t GetU64LE(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return GetU32LE(bytes, offset) | std::uint64_t{GetU32LE(bytes, offset + 4)} << 32;
}

void PutU64LE(std::span<std::uint8_t> bytes, std::size_t offset, std::uint64_t value) {
    PutU32LE(bytes, offset, static_cast<std::uint32_t>(value));
    PutU32LE(bytes, offset + 4, static_cast<std::uint32_t>(value >> 32));
}

StateLoad Refuse(const std::filesystem::path& file, const std::string& what) {
    return {std::nullopt, "state file " + sys::PathToUtf8(file) + ": " + what +
                              "; the simulated device starts fresh"};
}

DeviceState DecodeFields(std::span<const std::uint8_t> bytes) {
    DeviceState state;
    state.store = DecodeStore(bytes.subspan(OFFSET_STORE, protocol::SETTINGS_FILE_SIZE));
    state.dtuBasic = DecodeRecord<protocol::DtuBasicPara>(bytes, OFFSET_DTU_BASIC);
    state.dtuAdvanced = DecodeRecord<protocol::DtuAdvPara>(bytes, OFFSET_DTU_ADV);
    state.image.present = bytes[OFFSET_IMAGE_PRESENT] != 0;
    state.image.length = GetU64LE(bytes, OFFSET_IMAGE_LENGTH);
    std::copy_n(bytes.begin() + OFFSET_IMAGE_HASH, state.image.sha256.size(),
                state.image.sha256.begin());
    return state;
}

}  // namespace

std::array<std::uint8_t, STATE_FILE_SIZE> EncodeDeviceState(const DeviceState& state,
                                                            const DeviceOwner& owner) {
    std::array<std::uint8_t, STATE_FILE_SIZE> bytes{};
    byteorder::PutBytes<MAGIC.size()>(bytes, 0, MAGIC);
    byteorder::PutU16LE(bytes, OFFSET_VERSION, VERSION);
    bytes[OFFSET_TYPE] = owner.type;
    byteorder::PutBytes<12>(bytes, OFFSET_SERIAL, owner.serial);
    protocol::SettingsSections store = state.store;
    protocol::UpdateChecksums(store);
    byteorder::PutBytes<protocol::SETTINGS_FILE_SIZE>(bytes, OFFSET_STORE,
                                                      protocol::EncodeSettings(store));
    byteorder::PutBytes<protocol::DtuBasicPara::SIZE>(bytes, OFFSET_DTU_BASIC,
                                                      state.dtuBasic.ToBytes());
    byteorder::PutBytes<protocol::DtuAdvPara::SIZE>(bytes, OFFSET_DTU_ADV,
                                                    state.dtuAdvanced.ToBytes());
    bytes[OFFSET_IMAGE_PRESENT] = state.image.present ? 1 : 0;
    PutU64LE(bytes, OFFSET_IMAGE_LENGTH, state.image.length);
    byteorder::PutBytes<32>(bytes, OFFSET_IMAGE_HASH, state.image.sha256);
    PutU32LE(bytes, OFFSET_CHECK, Fnv1a(std::span(bytes).first(OFFSET_CHECK)));
    return bytes;
}

StateLoad DecodeDeviceState(std::span<const std::uint8_t> bytes, const DeviceOwner& owner,
                            const std::filesystem::path& file) {
    if (bytes.size() == protocol::SETTINGS_FILE_SIZE) {
        return {DeviceState{DecodeStore(bytes), {}, {}, {}}, {}};
    }
    if (bytes.size() != STATE_FILE_SIZE) {
        return Refuse(file, "not a device state file (" + std::to_string(bytes.size()) +
                                " bytes, expected " + std::to_string(STATE_FILE_SIZE) + ")");
    }
    if (GetU32LE(bytes, OFFSET_CHECK) != Fnv1a(bytes.first(OFFSET_CHECK))) {
        return Refuse(file, "checksum mismatch (the file is damaged)");
    }
    if (!std::equal(MAGIC.begin(), MAGIC.end(), bytes.begin())) {
        return Refuse(file, "not a device state file (no QLNDEVST mark)");
    }
    if (byteorder::GetU16LE(bytes, OFFSET_VERSION) != VERSION) {
        return Refuse(file, "layout version " +
                                std::to_string(byteorder::GetU16LE(bytes, OFFSET_VERSION)) +
                                " is not known");
    }
    const auto serial = byteorder::GetBytes<12>(bytes, OFFSET_SERIAL);
    if (bytes[OFFSET_TYPE] != owner.type || serial != owner.serial) {
        return Refuse(file, "it belongs to the device of type " +
                                std::to_string(bytes[OFFSET_TYPE]) + ", serial " +
                                SerialHex(serial));
    }
    return {DecodeFields(bytes), {}};
}

StateLoad LoadDeviceState(const std::filesystem::path& file, const DeviceOwner& owner) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return {};
    }
    if (status.type() != std::filesystem::file_type::regular) {
        return Refuse(file, "not a regular file");
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes(STATE_FILE_SIZE + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad() || (!in && !in.eof())) {
        return Refuse(file, "cannot be read");
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return DecodeDeviceState(bytes, owner, file);
}

protocol::SaveResult SaveDeviceState(const std::filesystem::path& file, const DeviceState& state,
                                     const DeviceOwner& owner) {
    std::error_code error;
    if (file.has_parent_path()) {
        std::filesystem::create_directories(file.parent_path(), error);
    }
    return protocol::SaveFile(file, EncodeDeviceState(state, owner));
}

std::filesystem::path DefaultStatePath(const DeviceOwner& owner, const EnvironmentLookup& env) {
    std::filesystem::path base;
    if (const auto state = env("XDG_STATE_HOME"); state && !state->empty()) {
        base = *state;
    } else if (const auto home = env("HOME"); home && !home->empty()) {
        base = std::filesystem::path(*home) / ".local" / "state";
    } else {
        return {};
    }
    return base / "quillon" /
           ("sim-type" + std::to_string(owner.type) + "-" + SerialHex(owner.serial) + ".state");
}

}  // namespace quillon::sim
