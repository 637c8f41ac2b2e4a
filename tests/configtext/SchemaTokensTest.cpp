// The schema's enumerations are the importer's choices: each list's tokens,
// then the page's own texts, in code order.
#include <gtest/gtest.h>

#include <fstream>

#include "configtext/ChoiceTokens.hpp"
#include "configtext/ValueReader.hpp"

namespace quillon::configtext {
namespace {

struct EnumCase {
    const char* pointer;  ///< into the schema's $defs
    const ChoiceList* list;
};

const EnumCase ENUMS[] = {
    {"/$defs/channel/properties/bitRate/enum", &BIT_RATES},
    {"/$defs/channel/properties/workMode/enum", &WORK_MODES},
    {"/$defs/frameType/enum", &FRAME_TYPES},
    {"/$defs/frameFormat/enum", &FRAME_FORMATS},
    {"/$defs/recordingRule/properties/trigger/enum", &RECORDING_TRIGGERS},
    {"/$defs/bridgeRule/properties/direction/enum", &BRIDGE_DIRECTIONS},
    {"/$defs/bridgeRule/properties/trigger/enum", &BRIDGE_TRIGGERS},
    {"/$defs/bridgeRule/properties/srcType/enum", &MATCH_TYPES},
    {"/$defs/bridgeRule/properties/srcFormat/enum", &MATCH_FORMATS},
    {"/$defs/bridgeRule/properties/dstType/enum", &OUTPUT_TYPES},
    {"/$defs/bridgeRule/properties/dstFormat/enum", &OUTPUT_FORMATS},
    {"/$defs/replay/properties/sendMode/enum", &SEND_MODES},
};

TEST(SchemaTokens, EveryEnumerationIsTheImportersList) {
    std::ifstream file(QUILLON_SETTINGS_SCHEMA);
    const Json schema = Json::parse(file);
    for (const EnumCase& row : ENUMS) {
        std::vector<std::string> expected(row.list->tokens.begin(), row.list->tokens.end());
        expected.insert(expected.end(), row.list->pageTexts.begin(), row.list->pageTexts.end());
        EXPECT_EQ(schema.at(Json::json_pointer(row.pointer)).get<std::vector<std::string>>(),
                  expected)
            << row.pointer;
    }
}

}  // namespace
}  // namespace quillon::configtext
