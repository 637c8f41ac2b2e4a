// An import reports every problem of a document at once, each with its
// field's path and the rule it breaks, and gives no records on any error.
#include <gtest/gtest.h>

#include <fstream>

#include "configtext/ConfigText.hpp"
#include "tests/configtext/ConfigSamples.hpp"

namespace quillon::configtext {
namespace {

const sys::CodePage ANSI{"GBK"};

std::vector<std::string> Lines(const ImportResult& result) {
    std::vector<std::string> lines;
    for (const TextProblem& problem : result.problems) {
        lines.push_back(ProblemLine(problem));
    }
    return lines;
}

Json Exported() {
    return ConfigToJson(test::PageMadeRecords(), ANSI);
}

struct RefusedCase {
    const char* name;
    void (*edit)(Json& document);
    std::vector<std::string> problems;
};

const RefusedCase REFUSED[] = {
    {"DataLengthOutOfRange",
     [](Json& d) { d["bridge"]["rules"][0]["dstLength"] = 12; },
     {R"(bridge.rules[0].dstLength: 12 is not a data length (0..8, or "any"))"}},
    {"UnknownKeyInARule",
     [](Json& d) { d["can1"]["rules"][0]["idstart"] = "0x1"; },
     {"can1.rules[0].idstart: unknown key"}},
    {"UnknownTopLevelKey", [](Json& d) { d["comment"] = "x"; }, {"comment: unknown key"}},
    {"UnknownToken",
     [](Json& d) { d["can1"]["bitRate"] = "501k"; },
     {R"(can1.bitRate: "501k" is not a bit rate (1000k, 500k, 250k, 125k, 100k, 50k, 20k, custom))"}},
    {"WrongType",
     [](Json& d) { d["sys"]["cyclicOverwrite"] = 1; },
     {"sys.cyclicOverwrite: expected true or false, got number"}},
    {"NumberTooLargeForItsField",
     [](Json& d) { d["replay"]["files"][0]["times"] = 70000; },
     {"replay.files[0].times: 70000 is out of range (0..65535)"}},
    {"HexNumberTooLarge",
     [](Json& d) { d["bridge"]["rules"][0]["k"] = "0x100"; },
     {R"(bridge.rules[0].k: "0x100" is out of range (0..255))"}},
    {"TooManyBridgeRules",
     [](Json& d) {
         for (int i = 0; i < 10; ++i) {
             d["bridge"]["rules"].push_back(d["bridge"]["rules"][0]);
         }
     },
     {"bridge.rules: 11 bridge rules, the table holds 10"}},
    {"TooManyAcceptanceFilters",
     [](Json& d) {
         d["filters2"]["filters"] = Json::array();
         for (int i = 0; i < 15; ++i) {
             d["filters2"]["filters"].push_back(
                 {{"frameFormat", "standard"}, {"pattern", "X X X X X X X X X X X"}});
         }
     },
     {"filters2.filters: 15 acceptance filters, the table holds 14"}},
    {"ReplayNameOverSixteenBytes",
     [](Json& d) { d["replay"]["files"][0]["name"] = "记录文件一二三四五"; },
     {R"(replay.files[0].name: "记录文件一二三四五" takes 18 bytes in GBK, a name holds 16)"}},
    {"ReplayNameTheCodePageLacks",
     [](Json& d) { d["replay"]["files"][0]["name"] = "café☃"; },
     {R"(replay.files[0].name: "café☃" has characters the GBK code page cannot store)"}},
    {"DtuTextOverItsLimit",
     [](Json& d) { d["dtuAdv"]["apn"] = std::string(33, 'a'); },
     {"dtuAdv.apn: 33 characters, the field holds 32"}},
    {"PatternOfTheWrongWidth",
     [](Json& d) { d["filters1"]["filters"][0]["pattern"] = "1 0 X"; },
     {"filters1.filters[0].pattern: a 11-bit pattern needs 11 bits, not 3"}},
    {"PatternWithValueAndMask",
     [](Json& d) {
         d["filters1"]["filters"][0]["value"] = "0x120";
         d["filters1"]["filters"][0]["mask"] = "0x7F0";
     },
     {"filters1.filters[0]: give a pattern or value and mask, not both"}},
    {"BtrWithAFixedRate",
     [](Json& d) { d["can1"]["btr0"] = "0x01"; },
     {R"(can1.btr0: follows from the bit rate; give it only with "custom")"}},
    {"MissingSection",
     [](Json& d) { d.erase("dtuAdv"); },
     {"dtuAdv: missing section; a document holds every section"}},
    {"WrongFormat",
     [](Json& d) { d["version"] = 2; },
     {"version: 2 is not a version this program reads (1)"}},
    {"RawOffsetOutsideTheSection",
     [](Json& d) {
         d["sys"]["raw"] = {{"16", "00"}};
     },
     {"sys.raw.16: is not a byte offset of the section (1..15)"}},
    {"EveryProblemAtOnce",
     [](Json& d) {
         d["can2"]["workMode"] = "silent";
         d["bridge"]["rules"][0]["srcData"] = "11 zz";
         d["dtuBasic"]["serverPort"] = -1;
     },
     {R"(can2.workMode: "silent" is not a work mode (normal, listen-only))",
      R"(bridge.rules[0].srcData[1]: "zz" is not a byte in hexadecimal or "*")",
      "dtuBasic.serverPort: -1 is out of range (0..4294967295)"}},
};

class Refused : public testing::TestWithParam<RefusedCase> {};

TEST_P(Refused, NamesEachProblemWithItsPath) {
    Json document = Exported();
    GetParam().edit(document);
    const ImportResult result = ImportConfigJson(document, ANSI);
    EXPECT_EQ(Lines(result), GetParam().problems);
    EXPECT_FALSE(result.records.has_value());
}

INSTANTIATE_TEST_SUITE_P(Documents, Refused, testing::ValuesIn(REFUSED),
                         [](const auto& info) { return std::string(info.param.name); });

struct WarnedCase {
    const char* name;
    void (*edit)(Json& document);
    std::string warning;
};

const WarnedCase WARNED[] = {
    {"RangeStartAboveItsEnd", [](Json& d) { d["can1"]["rules"][0]["idStart"] = "0x300"; },
     "warning: can1.rules[0].idStart: 0x300 is above idEnd 0x1FF; the range takes no "
     "identifier"},
    {"NegativeInterval", [](Json& d) { d["can1"]["rules"][0]["intervalMs"] = -5; },
     "warning: can1.rules[0].intervalMs: -5 is negative; the page types no such interval"},
    {"FileSizeOffTheSlider", [](Json& d) { d["sys"]["fileSizeMB"] = 200; },
     "warning: sys.fileSizeMB: 200 is outside the page's 1..128 MB"},
};

class Warned : public testing::TestWithParam<WarnedCase> {};

TEST_P(Warned, ImportsAndSaysWhy) {
    Json document = Exported();
    GetParam().edit(document);
    const ImportResult result = ImportConfigJson(document, ANSI);
    EXPECT_EQ(Lines(result), std::vector<std::string>{GetParam().warning});
    EXPECT_TRUE(result.records.has_value());
}

INSTANTIATE_TEST_SUITE_P(Documents, Warned, testing::ValuesIn(WARNED),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConfigText, CommentsAndTheSchemaKeyAreRead) {
    std::string text = Exported().dump(2);
    text.insert(text.find('{') + 1, "\n  // fleet A, reviewed\n  /* block */");
    const ImportResult result = ImportConfigText(text, ANSI);
    EXPECT_TRUE(Lines(result).empty());
    EXPECT_TRUE(result.records.has_value());
}

TEST(ConfigText, AKeyGivenTwiceIsRefusedWithItsPath) {
    std::string text = Exported().dump();
    const auto twice = [&text](const std::string& member, const std::string& again) {
        text.replace(text.find(member), member.size(), member + "," + again);
    };
    twice(R"("acceptAll":false)", R"("acceptAll":true)");
    twice(R"("intervalMs":10)", R"("intervalMs":20)");
    const ImportResult result = ImportConfigText(text, ANSI);
    EXPECT_EQ(Lines(result), (std::vector<std::string>{
                                 "can1.acceptAll: given twice; a key is given once",
                                 "can1.rules[0].intervalMs: given twice; a key is given once"}));
    EXPECT_FALSE(result.records.has_value());
}

TEST(ConfigText, TextThatIsNoJsonSaysWhere) {
    const ImportResult result = ImportConfigText("{\n  \"format\": quillon\n}", ANSI);
    ASSERT_EQ(result.problems.size(), 1u);
    EXPECT_EQ(result.problems[0].message.substr(0, 42),
              "not JSON: parse error at line 2, column 13");
    EXPECT_FALSE(result.records.has_value());
}

// The table of invalid documents a JSON Schema validator refuses too (the
// schema's CTest): the importer refuses each, naming the same field.
TEST(ConfigText, RefusesTheSchemasTableOfInvalidDocuments) {
    std::ifstream table(QUILLON_INVALID_DOCUMENTS);
    const Json rows = Json::parse(table);
    ASSERT_GE(rows.size(), 10u);
    for (const Json& row : rows) {
        Json document = Exported();
        const Json edits = row.value("set", Json::object());
        for (const auto& [pointer, value] : edits.items()) {
            document[Json::json_pointer(pointer)] = value;
        }
        const Json removals = row.value("remove", Json::array());
        for (const Json& pointer : removals) {
            const Json::json_pointer target(pointer.get<std::string>());
            document[target.parent_pointer()].erase(target.back());
        }
        const ImportResult result = ImportConfigJson(document, ANSI);
        EXPECT_FALSE(result.records.has_value()) << row["name"];
        const std::string path = row["importer"];
        EXPECT_TRUE(std::any_of(result.problems.begin(), result.problems.end(),
                                [&](const TextProblem& p) { return p.error && p.path == path; }))
            << row["name"] << ": expected an error at " << path << ", got "
            << testing::PrintToString(Lines(result));
    }
}

}  // namespace
}  // namespace quillon::configtext
