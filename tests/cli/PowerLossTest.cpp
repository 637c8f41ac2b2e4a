// quillon-cli killed while it saves: `read --save` is ended with SIGKILL at
// random moments around its save, and the settings file is then always the
// old or the new one, never short or mixed; the copies killed saves leave
// behind are gone after the next save. Each run takes half a second to reach
// its save (connect, read, disconnect), so eight run side by side, each in a
// directory of its own, and every kill lands a random 0..3 ms after the run
// created its temporary copy (watched with inotify, a bounded wait).
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <random>

#include "platform/system/ReplaceFile.hpp"
#include "protocol/SettingsFile.hpp"
#include "support/ChildProcess.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::cli {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

constexpr int LANES = 8;
constexpr int ROUNDS = 25;  // 200 kills
constexpr int RUN_LIMIT_MS = 30000;

std::string Contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const fs::path& file, const std::string& bytes) {
    ASSERT_EQ(
        sys::ReplaceFileBytes(
            file, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())),
        "");
}

std::vector<std::string> ReadSave(const fs::path& directory) {
    return {"--adapter", "sim:type=2,fw=11", "--settings-dir", directory.string(), "read",
            "--save"};
}

// Tells when a file is created in a directory.
class CreationWatch {
  public:
    explicit CreationWatch(const fs::path& directory)
        : fd_(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {
        ::inotify_add_watch(fd_, directory.c_str(), IN_CREATE);
    }
    ~CreationWatch() { ::close(fd_); }
    /// Waits up to `timeoutMs` for a creation since the last call.
    bool Wait(int timeoutMs) {
        pollfd ready{fd_, POLLIN, 0};
        if (::poll(&ready, 1, timeoutMs) != 1) {
            return false;
        }
        std::array<char, 4096> events{};
        while (::read(fd_, events.data(), events.size()) > 0) {
        }
        return true;
    }

  private:
    int fd_;
};

class PowerLossTest : public ::testing::Test {
  protected:
    void SetUp() override {
        protocol::SettingsSections old;
        old.can1 = protocol::CanPara::Defaults();
        old.can1.baudIndex = 7;
        old.can2 = protocol::CanPara::Defaults();
        old.sys.fileSizeMB = 7;
        ASSERT_TRUE(protocol::WriteSettingsFile(lanes[0].Path() / "QXCfg.dat", old));
        oldBytes = Contents(lanes[0].Path() / "QXCfg.dat");
    }
    static fs::path File(const test::TempDir& lane) { return lane.Path() / "QXCfg.dat"; }
    void SaveToTheEnd(const test::TempDir& lane) {
        test::ChildProcess child(QUILLON_CLI_PATH, ReadSave(lane.Path()));
        EXPECT_EQ(child.WaitForExit(milliseconds(RUN_LIMIT_MS)), 0) << child.Output();
    }

    std::array<test::TempDir, LANES> lanes;
    std::string oldBytes;
};

TEST_F(PowerLossTest, AKilledSaveLeavesTheOldOrTheNewFileEveryTime) {
    SaveToTheEnd(lanes[0]);
    const std::string newBytes = Contents(File(lanes[0]));
    ASSERT_EQ(newBytes.size(), protocol::SETTINGS_FILE_SIZE);
    ASSERT_NE(newBytes, oldBytes);
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> delayMs(0, 3);
    int killed = 0;
    int leftNew = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        std::vector<std::unique_ptr<CreationWatch>> watches;
        std::vector<std::unique_ptr<test::ChildProcess>> runs;
        for (const auto& lane : lanes) {
            Put(File(lane), oldBytes);
            watches.push_back(std::make_unique<CreationWatch>(lane.Path()));
            runs.push_back(
                std::make_unique<test::ChildProcess>(QUILLON_CLI_PATH, ReadSave(lane.Path())));
        }
        for (int i = 0; i < LANES; ++i) {
            ASSERT_TRUE(watches[i]->Wait(RUN_LIMIT_MS)) << runs[i]->Output();
            if (!runs[i]->WaitForExit(milliseconds(delayMs(random)))) {
                runs[i]->Kill();
                ++killed;
            }
            const std::string now = Contents(File(lanes[i]));
            ASSERT_TRUE(now == oldBytes || now == newBytes)
                << "round " << round << " lane " << i << " left " << now.size()
                << " bytes of neither file";
            leftNew += now == newBytes ? 1 : 0;
        }
    }
    for (const auto& lane : lanes) {
        SaveToTheEnd(lane);
        EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(lane.Path()), {}).size(), 1u)
            << "temporary copies of killed saves are removed by the next save";
    }
    EXPECT_GT(killed, 0);
    RecordProperty("killed", killed);
    RecordProperty("leftNewFile", leftNew);
    std::cout << "killed " << killed << " of " << LANES * ROUNDS << ", new file after " << leftNew
              << '\n';
}

}  // namespace
}  // namespace quillon::cli
