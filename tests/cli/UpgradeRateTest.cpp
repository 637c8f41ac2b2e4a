// quillon-cli upgrade on a bus timed at 125 kbit/s, all on fake time: the
// rate it prints is the bus's and the time left follows from it.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "frontends/cli/ExitCode.hpp"
#include "support/FakeSystem.hpp"
#include "tests/cli/InProcessCli.hpp"

namespace quillon::cli {
namespace {

struct RateLine {
    int percent;
    double kibPerSecond;
    int secondsLeft;
};

// "writing  [###...]  50%  8000/16000 B  7.9 KiB/s  1 s left"
std::vector<RateLine> WritingLines(const std::string& out) {
    static const std::regex line(R"(^writing .*\s(\d+)%\s.*\s([0-9.]+) KiB/s\s+(\d+) s left$)");
    std::vector<RateLine> lines;
    std::istringstream text(out);
    for (std::string row; std::getline(text, row);) {
        std::smatch match;
        if (std::regex_match(row, match, line)) {
            lines.push_back({std::stoi(match[1]), std::stod(match[2]), std::stoi(match[3])});
        }
    }
    return lines;
}

TEST(UpgradeRateTest, ShowsTheBusRateAndTheTimeLeft) {
    test::FakeSystem system;
    const auto image = system.directory.Path() / "image.bin";
    std::ofstream(image, std::ios::binary) << std::string(16000, '\x5A');
    const auto run = test::RunCliInProcess(
        {"--adapter", "sim:erase-ms=0,bitrate=125000", "upgrade", image.string()}, system.services);
    ASSERT_EQ(run.status, EXIT_OK) << run.out << run.err;
    const auto lines = WritingLines(run.out);
    ASSERT_GE(lines.size(), 5u) << run.out;
    // An 8-byte frame takes 111 to 135 bits: 7.2 to 8.8 KiB/s at 125 kbit/s.
    const RateLine& half = lines[5];
    ASSERT_EQ(half.percent, 50);
    EXPECT_GE(half.kibPerSecond, 7.2);
    EXPECT_LE(half.kibPerSecond, 8.8);
    EXPECT_EQ(half.secondsLeft, 1) << "8000 bytes at that rate";
    EXPECT_GE(lines.back().kibPerSecond, 7.2);
    EXPECT_LE(lines.back().kibPerSecond, 8.8);
}

}  // namespace
}  // namespace quillon::cli
