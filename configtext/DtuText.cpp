// The two DTU records as text. Their texts hold one byte per character (the
// low byte of its code point), as the DTU pages store what is typed; each
// text's length field follows from the text.
#include <algorithm>

#include "configtext/SectionText.hpp"
#include "dtu/CharacterBytes.hpp"

namespace quillon::configtext {
namespace {

using protocol::DtuAdvPara;
using protocol::DtuBasicPara;
using protocol::PhoneSlot;

// The ports the DTU pages accept.
constexpr std::uint32_t PORT_MAX = 65534;

// Code points of valid UTF-8 (the parser has checked it).
std::u32string CodePoints(std::string_view text) {
    std::u32string points;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t point = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < text.size(); ++k) {
            point = (point << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        points.push_back(point);
        i += 1 + static_cast<std::size_t>(extra);
    }
    return points;
}

template <std::size_t N>
Json StoredText(const std::array<std::uint8_t, N>& bytes, std::size_t length) {
    return dtu::StoredBytesText(std::span(bytes.data(), std::min(length, N)));
}

// Stores a text and its length; refuses characters above U+00FF and texts
// longer than the field.
template <std::size_t N, class Length>
bool StoreText(const Json& value, const std::string& path, TextProblems& problems,
               std::array<std::uint8_t, N>& bytes, Length& length) {
    const auto string = ReadString(value, path, problems);
    if (!string) {
        return false;
    }
    const std::u32string points = CodePoints(*string);
    if (points.size() > N) {
        problems.Error(path, std::to_string(points.size()) + " characters, the field holds " +
                                 std::to_string(N));
        return false;
    }
    std::array<std::uint8_t, N> stored{};
    if (!dtu::StoreLowBytes(points, stored)) {
        problems.Error(path, value.dump() +
                                 " has characters the device text cannot hold "
                                 "(one byte each, up to U+00FF)");
        return false;
    }
    bytes = stored;
    length = static_cast<Length>(points.size());
    return true;
}

template <std::size_t N, class Length>
void TextFromText(ObjectReader& text, std::string_view key, std::array<std::uint8_t, N>& bytes,
                  Length& length) {
    if (const Json* value = text.Find(key)) {
        StoreText(*value, text.PathOf(key), text.Problems(), bytes, length);
    }
}

template <std::size_t N, class Length>
void PacketFromText(ObjectReader& text, std::string_view key, std::array<std::uint8_t, N>& bytes,
                    Length& length) {
    if (const Json* value = text.Find(key)) {
        if (auto read = ReadBytes(*value, text.PathOf(key), N, text.Problems())) {
            std::copy(read->begin(), read->end(), bytes.begin());
            length = static_cast<Length>(read->size());
        }
    }
}

void PortFromText(ObjectReader& text, std::string_view key, std::uint32_t& port) {
    text.Unsigned(key, port, UINT32_MAX);
    if (text.Find(key) != nullptr && port > PORT_MAX) {
        text.Problems().Warning(text.PathOf(key),
                                std::to_string(port) + " is above the pages' 65534");
    }
}

Json PhoneText(const PhoneSlot& slot) {
    return StoredText(slot.digits, slot.length);
}

void PhoneFromText(const Json& value, const std::string& path, TextProblems& problems,
                   PhoneSlot& slot) {
    if (StoreText(value, path, problems, slot.digits, slot.length) &&
        value.get_ref<const std::string&>().find_first_not_of("0123456789+") != std::string::npos) {
        problems.Warning(path, value.dump() + " is not a phone number of digits");
    }
}

}  // namespace

Json DtuBasicToText(const DtuBasicPara& basic) {
    return {
        {"serverAddress", StoredText(basic.serverAddr, basic.serverAddrLen)},
        {"serverPort", basic.serverPort},
        {"connectMode", basic.connectMode},
        {"protocol", basic.protocol},
        {"heartbeatSec", basic.heartbeatSec},
        {"heartbeatHex", basic.heartbeatHex != 0},
        {"heartbeat", HexBytes(basic.heartbeat.data(),
                               std::min<std::size_t>(basic.heartbeatLen, basic.heartbeat.size()))},
        {"registrationHex", basic.regHex != 0},
        {"registration", HexBytes(basic.regPacket.data(),
                                  std::min<std::size_t>(basic.regLen, basic.regPacket.size()))},
        {"downlinkTimeoutSec", basic.downlinkTimeoutSec},
        {"smsOutput", basic.smsOutput},
        {"smsCoding", basic.smsCoding},
        {"smsAlert", basic.smsAlert},
        {"uartBaud", basic.uartBaud},
        {"uartParity", basic.uartParity},
        {"uartDataBits", basic.uartDataBits},
        {"uartStopBits", basic.uartStopBits}};
}

void DtuBasicFromText(ObjectReader& text, DtuBasicPara& basic) {
    TextFromText(text, "serverAddress", basic.serverAddr, basic.serverAddrLen);
    PortFromText(text, "serverPort", basic.serverPort);
    text.Unsigned("connectMode", basic.connectMode, 0xFF);
    text.Unsigned("protocol", basic.protocol, 0xFF);
    text.Unsigned("heartbeatSec", basic.heartbeatSec, UINT32_MAX);
    text.Flag("heartbeatHex", basic.heartbeatHex);
    PacketFromText(text, "heartbeat", basic.heartbeat, basic.heartbeatLen);
    text.Flag("registrationHex", basic.regHex);
    PacketFromText(text, "registration", basic.regPacket, basic.regLen);
    text.Unsigned("downlinkTimeoutSec", basic.downlinkTimeoutSec, UINT32_MAX);
    text.Unsigned("smsOutput", basic.smsOutput, 0xFF);
    text.Unsigned("smsCoding", basic.smsCoding, 0xFF);
    text.Unsigned("smsAlert", basic.smsAlert, 0xFF);
    text.Unsigned("uartBaud", basic.uartBaud, UINT32_MAX);
    text.Unsigned("uartParity", basic.uartParity, 0xFF);
    text.Unsigned("uartDataBits", basic.uartDataBits, 0xFF);
    text.Unsigned("uartStopBits", basic.uartStopBits, 0xFF);
}

Json DtuAdvToText(const DtuAdvPara& adv) {
    std::size_t phones = adv.smsPhones.size();
    while (phones > 0 && adv.smsPhones[phones - 1].length == 0) {
        --phones;
    }
    Json list = Json::array();
    for (std::size_t i = 0; i < phones; ++i) {
        list.push_back(PhoneText(adv.smsPhones[i]));
    }
    return {{"backupAddress", StoredText(adv.backupAddr, adv.backupAddrLen)},
            {"backupPort", adv.backupPort},
            {"rtcAutoCalibration", adv.rtcAutoCal != 0},
            {"netProtocol", adv.netProtocol},
            {"apn", StoredText(adv.apn, adv.apnLen)},
            {"smsPhones", std::move(list)},
            {"wakePhone", PhoneText(adv.wakePhone)},
            {"noSignalRebootMin", adv.noSignalRebootMin},
            {"timedStartMin", adv.timedStartMin}};
}

void DtuAdvFromText(ObjectReader& text, DtuAdvPara& adv) {
    TextFromText(text, "backupAddress", adv.backupAddr, adv.backupAddrLen);
    PortFromText(text, "backupPort", adv.backupPort);
    text.Flag("rtcAutoCalibration", adv.rtcAutoCal);
    text.Unsigned("netProtocol", adv.netProtocol, 0xFF);
    TextFromText(text, "apn", adv.apn, adv.apnLen);
    const ListEntries phones = ReadList(text, "smsPhones", adv.smsPhones.size(), "phone numbers");
    for (std::size_t i = 0; i < phones.entries.size(); ++i) {
        PhoneFromText(*phones.entries[i].first, phones.entries[i].second, text.Problems(),
                      adv.smsPhones[i]);
    }
    if (const Json* wake = text.Find("wakePhone")) {
        PhoneFromText(*wake, text.PathOf("wakePhone"), text.Problems(), adv.wakePhone);
    }
    text.Unsigned("noSignalRebootMin", adv.noSignalRebootMin, UINT32_MAX);
    text.Unsigned("timedStartMin", adv.timedStartMin, UINT32_MAX);
}

}  // namespace quillon::configtext
