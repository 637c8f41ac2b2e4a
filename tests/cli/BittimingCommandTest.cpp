// quillon-cli bittiming through the command line parser, with its exact rows.
#include <gtest/gtest.h>

#include "frontends/cli/ExitCode.hpp"
#include "support/FakeSystem.hpp"
#include "tests/cli/InProcessCli.hpp"

namespace quillon::cli {
namespace {

struct BittimingRow {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
};

class BittimingCommandTest : public ::testing::TestWithParam<BittimingRow> {
  protected:
    test::FakeSystem system;
};

TEST_P(BittimingCommandTest, PrintsTheRowsAndStatus) {
    const auto& row = GetParam();
    const auto result = test::RunCliInProcess(row.args, system.services);
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.out, row.out);
    EXPECT_EQ(result.err, row.err);
}

const char* const HEADER = "BTR0  BTR1  BRP  quanta  TSEG1  TSEG2  SJW    bit/s    error  sample\n";

// 500k: 18 MHz / 500k = 36 = 2x18 | 3x12 | 4x9 periods; the page's 0x01/0x3C
// samples at 14/18 and follows the list.
INSTANTIATE_TEST_SUITE_P(
    Commands, BittimingCommandTest,
    ::testing::Values(
        BittimingRow{"Rate500kWithThePagesPairApart",
                     {"bittiming", "500k"},
                     EXIT_OK,
                     std::string("500000 bit/s, sample point aimed at 87.5 %\n") + HEADER +
                         "0x01  0x1E    2      18     15      2    1   500000   +0.00%   88.9%  "
                         "recommended\n"
                         "0x02  0x18    3      12      9      2    1   500000   +0.00%   83.3%\n"
                         "0x03  0x15    4       9      6      2    1   500000   +0.00%   77.8%\n"
                         "0x01  0x3C    2      18     13      4    1   500000   +0.00%   77.8%  "
                         "the page's 500kbps pair\n",
                     ""},
        BittimingRow{"Rate1MIsThePagesPair",
                     {"bittiming", "1M"},
                     EXIT_OK,
                     std::string("1000000 bit/s, sample point aimed at 75.0 %\n") + HEADER +
                         "0x00  0x3C    1      18     13      4    1  1000000   +0.00%   77.8%  "
                         "recommended, the page's 1000kbps pair\n"
                         "0x01  0x15    2       9      6      2    1  1000000   +0.00%   77.8%\n",
                     ""},
        // BRP 2, TSEG2 2, TSEG1 13: 16 tq, 18 MHz / 32 = 562500, 14/16.
        BittimingRow{"PairGivesItsRate",
                     {"bittiming", "--btr", "0x01", "0x1C"},
                     EXIT_OK,
                     std::string(HEADER) +
                         "0x01  0x1C    2      16     13      2    1   562500        -   87.5%\n",
                     ""},
        BittimingRow{"PagesPairIsNamed",
                     {"bittiming", "--btr", "10", "4e"},
                     EXIT_OK,
                     std::string(HEADER) +
                         "0x10  0x4E   17      21     15      5    1    50420        -   76.2%\n"
                         "the page's 50kbps pair\n",
                     ""},
        BittimingRow{"PairAsJson",
                     {"--json", "bittiming", "--btr", "0x01", "0x1C"},
                     EXIT_OK,
                     R"({
  "btr0": "0x01",
  "btr1": "0x1C",
  "prescaler": 2,
  "quanta": 16,
  "tseg1": 13,
  "tseg2": 2,
  "sjw": 1,
  "threeSamples": false,
  "bitRate": 562500.0,
  "samplePoint": 87.5,
  "page": null
}
)",
                     ""},
        // The slowest rate: BRP 64 x 25 tq = 1600 periods, TSEG1 16 and TSEG2 8 forced.
        BittimingRow{"SlowestRateAsJson",
                     {"bittiming", "11250", "--json"},
                     EXIT_OK,
                     R"({
  "bitRate": 11250.0,
  "samplePointTarget": 87.5,
  "pairs": [
    {
      "btr0": "0x3F",
      "btr1": "0x7F",
      "prescaler": 64,
      "quanta": 25,
      "tseg1": 16,
      "tseg2": 8,
      "sjw": 1,
      "threeSamples": false,
      "bitRate": 11250.0,
      "samplePoint": 68.0,
      "errorPercent": 0.0,
      "page": null
    }
  ],
  "pagePair": null
}
)",
                     ""},
        // 22.5 periods wanted: 23 and 22 give 782609 and 818182.
        BittimingRow{"Rate800kRefused",
                     {"bittiming", "800000"},
                     EXIT_FAILED,
                     "",
                     "quillon-cli bittiming: no BTR0/BTR1 pair comes within 0.5 % of 800000 bit/s; "
                     "nearest: 782609 bit/s (-2.17 %, BTR0 0x00 BTR1 0x5F), 818182 bit/s (+2.27 %, "
                     "BTR0 0x01 BTR1 0x17)\n"},
        BittimingRow{"SamplePointOutOfRange",
                     {"bittiming", "500k", "--sample-point", "100"},
                     EXIT_USAGE,
                     "",
                     "quillon-cli bittiming: --sample-point needs a percentage between 0 and 100, "
                     "not \"100\"\n"},
        BittimingRow{"RateThatIsNoNumber",
                     {"bittiming", "fast"},
                     EXIT_USAGE,
                     "",
                     "quillon-cli bittiming: give a bit rate (500000, 500k, 1M) or --btr BTR0 "
                     "BTR1, not \"fast\"\n"},
        BittimingRow{"RegisterOfThreeDigits",
                     {"bittiming", "--btr", "13c", "1c"},
                     EXIT_USAGE,
                     "",
                     "quillon-cli bittiming: --btr needs two registers of one or two hex "
                     "digits\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::cli
