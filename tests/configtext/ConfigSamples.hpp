// Records to export: a configuration as the pages make it, and records of
// random bytes (reserved bytes, counts past their tables and all), each with
// its checksums as a saved file holds them.
#pragma once

#include <random>

#include "configtext/ConfigRecords.hpp"
#include "protocol/BlockChecksum.hpp"
#include "protocol/SettingsFile.hpp"

namespace quillon::test {

template <class Record>
Record Checksummed(const Record& record) {
    auto bytes = record.ToBytes();
    bytes[0] = protocol::BlockChecksum(std::span(bytes).subspan(1));
    return Record::FromBytes(bytes);
}

inline configtext::ConfigRecords Checksummed(configtext::ConfigRecords records) {
    protocol::UpdateChecksums(records.sections);
    records.dtuBasic = Checksummed(records.dtuBasic);
    records.dtuAdv = Checksummed(records.dtuAdv);
    return records;
}

template <class Record>
Record RandomRecord(std::mt19937& random) {
    std::array<std::uint8_t, Record::SIZE> bytes{};
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
    return Checksummed(Record::FromBytes(bytes));
}

inline configtext::ConfigRecords RandomRecords(std::mt19937& random) {
    configtext::ConfigRecords records;
    protocol::ForEachSection(records.sections, [&](protocol::SettingsSection, auto& record) {
        record = RandomRecord<std::remove_reference_t<decltype(record)>>(random);
    });
    records.dtuBasic = RandomRecord<protocol::DtuBasicPara>(random);
    records.dtuAdv = RandomRecord<protocol::DtuAdvPara>(random);
    return records;
}

/// What the pages make: a recording rule, two acceptance filters, a bridge
/// rule forwarding CAN1 0x123 to CAN2 as 0x321, one replay file, DTU settings.
inline configtext::ConfigRecords PageMadeRecords() {
    configtext::ConfigRecords records;
    records.sections = protocol::FactorySettings();
    auto& can1 = records.sections.can1;
    can1.baudIndex = 1;
    can1.btr0 = 0x01;
    can1.btr1 = 0x3C;
    can1.filterCount = 1;
    can1.filters[0] = {1, 0, 1, 2, 0x100, 0x1FF, 10};
    records.sections.can2.baudIndex = 7;
    records.sections.can2.btr0 = 0x05;
    records.sections.can2.btr1 = 0x1C;
    records.sections.can2.workMode = 1;
    auto& filters = records.sections.filters1;
    filters.enable = 1;
    filters.filterCount = 2;
    filters.frameFormat = {0, 1};
    filters.matchValue[0] = 0x120;
    filters.matchMask[0] = 0x7F0;
    filters.matchValue[1] = 0x18FF0000;
    filters.matchMask[1] = 0x1FFF0000;
    auto& bridge = records.sections.bridge;
    bridge.ruleCount = 1;
    bridge.bridgeFlags = 0x01 | 0x08;
    auto& rule = bridge.rules[0];
    rule.direction = 0;
    rule.k = 1;
    rule.trigger = 0;
    rule.srcFlags = 0xFA;  // data frame, standard
    rule.srcId = 0x123;
    rule.srcLength = 9;
    rule.srcDataMask = 0x01;
    rule.srcData[0] = 0x11;
    rule.dstFlags = 0xF0;
    rule.dstId = 0x321;
    rule.dstLength = 9;
    rule.dstDataMask = 0x02;
    rule.dstData[1] = 0x22;
    rule.kMask = 0x04;
    records.sections.sys.fileSizeMB = 16;
    records.sections.sys.cyclicOverwrite = 1;
    records.sections.sys.errorProofing = 3;
    auto& replay = records.sections.replay;
    replay.sendMode = 1;
    replay.ruleCount = 1;
    replay.repeatAll = 2;
    replay.rules[0].channelMask = 0x03;
    replay.rules[0].times = 5;
    replay.rules[0].intervalSec = 30;
    const std::string name = "\xB2\xE2\xCA\xD4";  // "测试" in GBK
    std::copy(name.begin(), name.end(), replay.rules[0].fileName.begin());
    auto& basic = records.dtuBasic;
    const std::string address = "dtu.example";
    std::copy(address.begin(), address.end(), basic.serverAddr.begin());
    basic.serverAddrLen = static_cast<std::uint8_t>(address.size());
    basic.serverPort = 5000;
    basic.connectMode = 1;
    basic.protocol = 2;
    basic.heartbeatLen = 2;
    basic.heartbeat[0] = 0xAA;
    basic.heartbeat[1] = 0x55;
    basic.heartbeatHex = 1;
    basic.uartBaud = 115200;
    auto& adv = records.dtuAdv;
    const std::string phone = "13800138000";
    std::copy(phone.begin(), phone.end(), adv.smsPhones[0].digits.begin());
    adv.smsPhones[0].length = static_cast<std::uint8_t>(phone.size());
    adv.netProtocol = 1;
    return Checksummed(records);
}

}  // namespace quillon::test
