// The output name proposed for an input and a format: the extension swapped,
// and never the input's own name.
#include "refold/OutputName.hpp"

#include <gtest/gtest.h>

namespace quillon::refold {
namespace {

using canlog::LogFormat;

struct NameRow {
    const char* name;
    const char* input;
    LogFormat format;
    const char* output;
};

class OutputNameTest : public ::testing::TestWithParam<NameRow> {};

TEST_P(OutputNameTest, ProposesTheInputUnderTheFormatsExtension) {
    const auto& row = GetParam();
    EXPECT_EQ(DefaultOutputName(row.input, row.format), row.output);
}

INSTANTIATE_TEST_SUITE_P(
    Names, OutputNameTest,
    ::testing::Values(
        NameRow{"CandumpToAsc", "/data/drive.log", LogFormat::Asc, "/data/drive.asc"},
        NameRow{"CandumpToCandumpKeepsTheInput", "/data/drive.log", LogFormat::Candump,
                "/data/drive_candump.log"},
        NameRow{"CandumpToRecorderKeepsTheInput", "drive.log", LogFormat::Recorder,
                "drive_recorder.log"},
        NameRow{"AscToRecorder", "REC0001.asc", LogFormat::Recorder, "REC0001.log"},
        NameRow{"OnlyTheLastExtension", "bench.2024.log", LogFormat::Asc, "bench.2024.asc"},
        NameRow{"ChineseName", "/数据/行车记录.log", LogFormat::Asc, "/数据/行车记录.asc"},
        NameRow{"NoInput", "", LogFormat::Asc, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::refold
