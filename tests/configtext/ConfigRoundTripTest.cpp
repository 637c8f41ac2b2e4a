// Export then import gives the records back byte for byte; import then export
// gives the document back; a page-made configuration reads as a person would
// write it.
#include <gtest/gtest.h>

#include "configtext/ConfigText.hpp"
#include "tests/configtext/ConfigSamples.hpp"

namespace quillon::configtext {
namespace {

using test::PageMadeRecords;
using test::RandomRecords;

const sys::CodePage ANSI{"GBK"};

struct RecordBytes {
    std::array<std::uint8_t, protocol::SETTINGS_FILE_SIZE> settings;
    std::array<std::uint8_t, protocol::DtuBasicPara::SIZE> basic;
    std::array<std::uint8_t, protocol::DtuAdvPara::SIZE> adv;
    bool operator==(const RecordBytes&) const = default;
};

RecordBytes BytesOf(const ConfigRecords& records) {
    return {protocol::EncodeSettings(records.sections), records.dtuBasic.ToBytes(),
            records.dtuAdv.ToBytes()};
}

ConfigRecords Imported(const std::string& text) {
    const ImportResult result = ImportConfigText(text, ANSI);
    for (const TextProblem& problem : result.problems) {
        if (problem.error) {
            ADD_FAILURE() << ProblemLine(problem);
        }
    }
    return result.records.value_or(ConfigRecords{});
}

TEST(ConfigRoundTrip, PageMadeRecordsComeBackByteForByte) {
    const ConfigRecords records = PageMadeRecords();
    EXPECT_EQ(BytesOf(Imported(ExportConfigText(records, ANSI))), BytesOf(records));
}

TEST(ConfigRoundTrip, RandomRecordsComeBackByteForByte) {
    std::mt19937 random(26);
    for (int round = 0; round < 50; ++round) {
        const ConfigRecords records = RandomRecords(random);
        const std::string text = ExportConfigText(records, ANSI);
        const ConfigRecords back = Imported(text);
        ASSERT_EQ(BytesOf(back), BytesOf(records)) << "round " << round << "\n" << text;
        ASSERT_EQ(ExportConfigText(back, ANSI), text) << "round " << round;
    }
}

TEST(ConfigRoundTrip, ImportThenExportGivesTheSameDocument) {
    const std::string text = ExportConfigText(PageMadeRecords(), ANSI);
    EXPECT_EQ(ExportConfigText(Imported(text), ANSI), text);
}

TEST(ConfigRoundTrip, PageMadeRecordsReadByName) {
    const Json document = ConfigToJson(PageMadeRecords(), ANSI);
    EXPECT_EQ(document["can1"].dump(),
              R"({"enabled":true,"bitRate":"500k","workMode":"normal","acceptAll":false,)"
              R"("rules":[{"frameType":"data","frameFormat":"extended","trigger":"normal",)"
              R"("idStart":"0x00000100","idEnd":"0x000001FF","intervalMs":10}]})");
    EXPECT_EQ(document["can2"]["bitRate"], "custom");
    EXPECT_EQ(document["can2"]["btr0"], "0x05");
    EXPECT_EQ(document["can2"]["btr1"], "0x1C");
    EXPECT_EQ(document["can2"]["workMode"], "listen-only");
    EXPECT_EQ(document["filters1"]["filters"].dump(),
              R"([{"frameFormat":"standard","pattern":"0 0 1 0 0 1 0 X X X X"},)"
              R"({"frameFormat":"extended","pattern":)"
              R"("1 1 0 0 0 1 1 1 1 1 1 1 1 X X X X X X X X X X X X X X X X"}])");
    EXPECT_EQ(document["bridge"].dump(),
              R"({"can1ForwardAll":false,"can2ForwardAll":true,"rules":[{"direction":)"
              R"("can1-to-can2","trigger":"start","k":"0x01","m":"0x00","yMax":"0x00",)"
              R"("srcType":"data","srcFormat":"standard","srcId":"0x123","srcLength":"any",)"
              R"("srcData":"11","dstType":"unchanged","dstFormat":"unchanged","dstId":"0x321",)"
              R"("dstLength":"any","dstData":"V 22 K*V"}]})");
    EXPECT_EQ(document["sys"].dump(), R"({"fileSizeMB":16,"cyclicOverwrite":true,)"
                                      R"("firstFrameTimeZero":false,"errorProofing":true})");
    EXPECT_EQ(document["replay"].dump(),
              R"({"sendMode":"can1","repeatAll":2,"files":[{"name":"测试","channel1":true,)"
              R"("channel2":true,"times":5,"intervalSec":30}]})");
    EXPECT_EQ(document["dtuBasic"]["serverAddress"], "dtu.example");
    EXPECT_EQ(document["dtuBasic"]["heartbeat"], "AA 55");
    EXPECT_EQ(document["dtuAdv"]["smsPhones"].dump(), R"(["13800138000"])");
    // Nothing of a page-made configuration needs raw bytes but what the pages leave
    // alone: the system section's option byte is the only one set.
    for (const auto& [key, section] : document.items()) {
        if (section.is_object()) {
            EXPECT_FALSE(section.contains("raw")) << key << ": " << section.dump();
        }
    }
}

TEST(ConfigRoundTrip, BytesTheNamesCannotSayGoToRaw) {
    ConfigRecords records = PageMadeRecords();
    records.sections.sys.sysOption = 0x5A;
    records.sections.bridge.rules[0].leadByte = 1;
    records.sections.replay.rules[0].fileName[10] = 0x77;  // after the name's zero
    records.sections.can1.filterCount = 25;                // past the table
    for (auto& filter : records.sections.can1.filters) {
        filter.used = 1;
    }
    records.sections.filters2.filterCount = 1;
    records.sections.filters2.matchValue[0] = 0x7FF;  // a value bit the mask ignores
    records.sections.filters2.matchMask[0] = 0x00F;
    records = test::Checksummed(records);
    const Json document = ConfigToJson(records, ANSI);
    EXPECT_EQ(document["sys"]["raw"].dump(), R"({"4":"5A"})");
    EXPECT_EQ(document["bridge"]["raw"].dump(), R"({"4":"01"})");
    EXPECT_EQ(document["replay"]["raw"].dump(), R"({"30":"77"})");
    EXPECT_EQ(document["can1"]["raw"].dump(), R"({"7":"19"})");
    EXPECT_EQ(document["can1"]["rules"].size(), 20u);
    EXPECT_EQ(document["filters2"]["filters"].dump(),
              R"([{"frameFormat":"standard","value":"0x000007FF","mask":"0x0000000F"}])");
    EXPECT_FALSE(document["filters2"].contains("raw"));
    EXPECT_EQ(BytesOf(Imported(document.dump())), BytesOf(records));
}

TEST(ConfigRoundTrip, DerivedFieldsFollowTheEditedNames) {
    Json document = ConfigToJson(PageMadeRecords(), ANSI);
    document["can1"]["bitRate"] = "125kbps";  // the page's text
    document["bridge"]["rules"][0]["direction"] = "both";
    document["filters1"]["filters"][0]["pattern"] = "1 X X X X X X X X X 0";
    const ConfigRecords back = Imported(document.dump());
    EXPECT_EQ(back.sections.can1.baudIndex, 3);
    EXPECT_EQ(back.sections.can1.btr0, 0x07);
    EXPECT_EQ(back.sections.can1.btr1, 0x3C);
    EXPECT_EQ(back.sections.bridge.bridgeFlags, 0x01 | 0x02 | 0x08);
    EXPECT_EQ(back.sections.filters1.matchValue[0], 0x400u);
    EXPECT_EQ(back.sections.filters1.matchMask[0], 0x401u);
    EXPECT_EQ(back.sections.can1.filters[0].used, 1);
}

}  // namespace
}  // namespace quillon::configtext
