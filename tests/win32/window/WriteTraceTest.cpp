// A parameter write from the window's pages puts the same frames on the bus as
// quillon-cli's write of the same record: both traced on the same fixed clock,
// each on a fresh window or tool (the opening frame goes on the channel an
// earlier write left selected).
#include <fstream>

#include "frontends/win32/SystemHeaders.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/FrameTrace.hpp"
#include "tests/cli/InProcessCli.hpp"
#include "tests/win32/window/WindowFixture.hpp"

namespace quillon::test {
namespace {

std::vector<std::string> Lines(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

/// The frames sent, without their time stamps: "can0 00000123#0102 T".
std::vector<std::string> SentFrames(const std::vector<std::string>& lines, std::size_t from) {
    std::vector<std::string> frames;
    for (std::size_t i = from; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.size() > 2 && line.compare(line.size() - 2, 2, " T") == 0) {
            frames.push_back(line.substr(line.find(' ') + 1));
        }
    }
    return frames;
}

class WriteTraceTest : public WindowFixture {
  protected:
    ~WriteTraceTest() override {
        kelvix::SetTraceFileOverride("");
        kelvix::SetTraceClock(nullptr);
    }
};

TEST_F(WriteTraceTest, WindowWriteSendsTheCliWritesFramesByteForByte) {
    const auto windowTrace = system.directory.Path() / "window.log";
    const auto cliTrace = system.directory.Path() / "cli.log";
    kelvix::SetTraceFileOverride(windowTrace.string());
    kelvix::SetTraceClock(&system.clock);
    watcher.AnswerBoxesWith({IDOK, IDOK});
    Open(true);
    Click(Main(), app::IDC_CONNECT);
    Click(Main(), app::IDC_READ_PARAMETERS);
    ASSERT_TRUE(PumpUntil([this] { return window->ReadsJudged() == 1; }));
    const std::vector<std::string> beforeWrite = Lines(windowTrace);
    ASSERT_FALSE(beforeWrite.empty());

    Click(Main(), app::IDC_WRITE_PARAMETERS);
    Click(Main(), app::IDC_CONNECT);  // disconnects: the trace is complete
    ASSERT_EQ(watcher.Boxes().size(), 2u);
    EXPECT_EQ(watcher.Boxes()[1].text, "写入参数成功，请重启设备生效!");
    const std::vector<std::string> windowFrames =
        SentFrames(Lines(windowTrace), beforeWrite.size());

    kelvix::SetTraceFileOverride("");
    const CliResult cli = RunCliInProcess(
        {"--adapter", "sim:state=none", "--trace", cliTrace.string(), "write", "--defaults"},
        system.services);
    ASSERT_EQ(cli.status, 0) << cli.err;
    const std::vector<std::string> cliFrames = SentFrames(Lines(cliTrace), 0);
    ASSERT_FALSE(windowFrames.empty());
    EXPECT_EQ(windowFrames, cliFrames);
}

}  // namespace
}  // namespace quillon::test
