#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "canlog/ConvertLog.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::canlog {
namespace {

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> Names(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

const char* const CANDUMP =
    "(1436509052.249713) can0 123#DEADBEEF\n"
    "(1436509052.250000) can1 1ABCDEF0#R8\n"
    "(1436509053.000001) can1 000#\n";

// candump -> ASC -> CSV -> candump gives the very bytes it started from.
TEST(ConvertLogTest, ARoundOfConversionsComesBackByteExact) {
    quillon::test::TempDir dir;
    Put(dir.Path() / "in.log", CANDUMP);
    struct Step {
        const char* from;
        const char* to;
        LogFormat format;
    };
    const Step steps[] = {{"in.log", "a.asc", LogFormat::Asc},
                          {"a.asc", "b.csv", LogFormat::Csv},
                          {"b.csv", "c.txt", LogFormat::Candump}};
    for (const auto& step : steps) {
        const ConvertResult result =
            ConvertLog(dir.Path() / step.from, dir.Path() / step.to, step.format, {});
        EXPECT_TRUE(result.ok) << step.to << ": " << result.error;
        EXPECT_EQ(result.frames, 3u) << step.to;
    }
    EXPECT_EQ(Slurp(dir.Path() / "c.txt"), CANDUMP);
    EXPECT_EQ(Slurp(dir.Path() / "b.csv"),
              "time,channel,id,extended,remote,length,data\n"
              "1436509052.249713,1,123,0,0,4,DE AD BE EF\n"
              "1436509052.250000,2,1ABCDEF0,1,1,8,\n"
              "1436509053.000001,2,000,0,0,0,\n");
}

TEST(ConvertLogTest, AnExistingOutputIsReplacedWhole) {
    quillon::test::TempDir dir;
    Put(dir.Path() / "in.log", CANDUMP);
    Put(dir.Path() / "out.log", std::string(10000, 'x'));
    const ConvertResult result =
        ConvertLog(dir.Path() / "in.log", dir.Path() / "out.log", LogFormat::Candump, {});
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(Slurp(dir.Path() / "out.log"), CANDUMP);
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"in.log", "out.log"}));
}

TEST(ConvertLogTest, InterfacesAreRenamedThroughTheChannels) {
    quillon::test::TempDir dir;
    Put(dir.Path() / "in.log", "(1.000000) vcan1 123#01\n(2.000000) vcan0 456#\n");
    ConvertOptions options;
    options.names = {"vcan0", "vcan1"};
    ASSERT_TRUE(
        ConvertLog(dir.Path() / "in.log", dir.Path() / "out.csv", LogFormat::Csv, {}, options).ok);
    ASSERT_TRUE(
        ConvertLog(dir.Path() / "out.csv", dir.Path() / "NAME.log", LogFormat::Recorder, {}).ok);
    EXPECT_EQ(Slurp(dir.Path() / "NAME.log"), "(1.000000) can1 123#01\n(2.000000) can0 456#\n");
}

// A failure leaves the output as it was and no temporary file beside it.
TEST(ConvertLogTest, FailuresLeaveTheOutputAsItWas) {
    quillon::test::TempDir dir;
    Put(dir.Path() / "bad.log", std::string(CANDUMP) + "(1436509054.0) can3 123#00\n");
    Put(dir.Path() / "good.log", CANDUMP);
    Put(dir.Path() / "out.asc", "old content\n");
    struct Row {
        const char* name;
        const char* in;
        const char* out;
        LogFormat format;
        const char* error;
        bool badInput;
    };
    const Row rows[] = {
        {"bad line", "bad.log", "out.asc", LogFormat::Asc,
         "bad.log:4: interface can3 is not one of the channels can0,can1", true},
        {"missing input", "none.log", "out.asc", LogFormat::Asc,
         "cannot open none.log: No such file or directory", true},
        {"recorder name", "good.log", "out.asc", LogFormat::Recorder,
         "the recorder stores files named NAME.log, not out.asc", false},
        {"output directory missing", "good.log", "no/out.asc", LogFormat::Asc,
         "cannot create no/out.asc in no: No such file or directory", false},
    };
    for (const auto& row : rows) {
        const ConvertResult result =
            ConvertLog(dir.Path() / row.in, dir.Path() / row.out, row.format, {});
        EXPECT_FALSE(result.ok) << row.name;
        EXPECT_EQ(dir.WithoutPath(result.error), row.error) << row.name;
        EXPECT_EQ(result.badInput, row.badInput) << row.name;
        EXPECT_EQ(Slurp(dir.Path() / "out.asc"), "old content\n") << row.name;
        EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"bad.log", "good.log", "out.asc"}))
            << row.name;
    }
}

TEST(ConvertLogTest, ProgressGrowsToTheWholeInput) {
    quillon::test::TempDir dir;
    std::string log;
    for (int i = 0; i < 10000; ++i) {
        log += "(" + std::to_string(i) + ".000000) can0 123#0011223344556677\n";
    }
    Put(dir.Path() / "in.log", log);
    std::vector<ConvertProgress> seen;
    const ConvertResult result =
        ConvertLog(dir.Path() / "in.log", dir.Path() / "out.csv", LogFormat::Csv,
                   [&](const ConvertProgress& progress) { seen.push_back(progress); });
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_GE(seen.size(), 3u) << "a log of " << log.size() << " bytes reports on its way";
    for (std::size_t i = 1; i < seen.size(); ++i) {
        EXPECT_GT(seen[i].bytesRead, seen[i - 1].bytesRead);
        EXPECT_EQ(seen[i].totalBytes, log.size());
    }
    EXPECT_EQ(seen.back().bytesRead, log.size());
    EXPECT_EQ(seen.back().frames, 10000u);
}

}  // namespace
}  // namespace quillon::canlog
