// Offline and live agree across processes: a log played with quillon-cli play
// into quillon-devsim on a virtualcan bus, and what comes back captured with
// quillon-cli dump (or, for a recorder, what lands in its storage), holds the
// frames quillon-cli simulate writes over the same log, in the same order on
// each channel. Each test runs its own bus on a loopback port nobody else
// uses, so it never meets the one-per-machine default bus of other tests.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>

#include "canlog/LogReader.hpp"
#include "protocol/SettingsFile.hpp"
#include "support/ChildProcess.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::test {
namespace {

using namespace std::chrono_literals;
using protocol::TimedFrame;

constexpr int DEVSIM_NO_BUS = 4;
constexpr std::uint16_t DEFAULT_VIRTUALCAN_PORT = 35468;
// The frame that tells a dump is listening: sent before any device is on the bus.
// No log below holds it.
constexpr const char* MARKER = "1FFFFFFF#R";

// A loopback port free at the time of asking, never the default bus's.
std::uint16_t FreeLoopbackPort() {
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        const bool bound =
            ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
        ::close(fd);
        const std::uint16_t port = ntohs(address.sin_port);
        if (bound && port != DEFAULT_VIRTUALCAN_PORT) {
            return port;
        }
    }
    return 0;
}

bool Listening(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool connected =
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return connected;
}

std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The frames of every candump line in `text`, other lines (plugin messages)
// skipped, without their times: live and offline clocks differ.
std::vector<TimedFrame> Frames(const std::string& text) {
    std::string lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with('(')) {
            lines += line + '\n';
        }
    }
    std::vector<TimedFrame> frames;
    const auto reader = canlog::MakeTextLogReader(lines, canlog::LogFormat::Candump, "capture");
    for (TimedFrame frame; reader->Next(frame);) {
        frame.timeUs = 0;
        frames.push_back(frame);
    }
    EXPECT_EQ(reader->Error(), "");
    return frames;
}

std::vector<TimedFrame> OnChannel(const std::vector<TimedFrame>& frames, int channel) {
    std::vector<TimedFrame> on;
    for (const TimedFrame& frame : frames) {
        if (frame.channel == channel) {
            on.push_back(frame);
        }
    }
    return on;
}

// What the device sent on one channel: the capture less the frames the
// player sent there, which come in the log's order. The logs below never
// have the device send the very frame the player sends next on a channel.
std::vector<TimedFrame> LessPlayed(const std::vector<TimedFrame>& captured,
                                   const std::vector<TimedFrame>& played) {
    std::vector<TimedFrame> rest;
    std::size_t next = 0;
    for (const TimedFrame& frame : captured) {
        if (next < played.size() && frame == played[next]) {
            ++next;
        } else {
            rest.push_back(frame);
        }
    }
    EXPECT_EQ(next, played.size()) << "the capture lacks frames the player sent";
    return rest;
}

protocol::BridgeRule Rule(std::uint8_t direction, std::uint8_t trigger, std::uint32_t srcId) {
    protocol::BridgeRule rule;
    rule.direction = direction;
    rule.trigger = trigger;
    rule.srcFlags = 0xF2;  // data frames of either format
    rule.srcId = srcId;
    rule.srcLength = 9;
    rule.dstFlags = 0xF0;
    rule.dstId = protocol::BridgeRule::ANY_ID;
    rule.dstLength = 9;
    return rule;
}

// Both channels, both formats, data and remote, 20 ms apart.
const std::string LOG = std::string() +
                        "(1796639415.000000) can0 100#0A0B\n"
                        "(1796639415.020000) can1 18DAF110#01020304\n"
                        "(1796639415.040000) can0 7F0#\n"
                        "(1796639415.060000) can0 123#R2\n"
                        "(1796639415.080000) can1 300#AA\n"
                        "(1796639415.100000) can0 101#0102030405060708\n"
                        "(1796639415.120000) can0 100#FF\n"
                        "(1796639415.140000) can1 301#55\n"
                        "(1796639415.160000) can0 7F0#01\n"
                        "(1796639415.180000) can0 100#10\n"
                        "(1796639415.200000) can1 300#\n";

class OfflineLiveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        port = FreeLoopbackPort();
        ASSERT_NE(port, 0) << "no free loopback port";
        const std::string url = "tcp://127.0.0.1:" + std::to_string(port) + "/";
        bus = "qcanbus:virtualcan:" + url + "can0," + url + "can1";
        log = dir.Path() / "drive.log";
        std::ofstream(log, std::ios::binary) << LOG;
    }
    void TearDown() override {
        if (devsim) {
            EXPECT_EQ(devsim->Stop(10s), 0) << devsim->Output();
        }
    }

    // The settings for simulate, and as the state the device starts from.
    void UseSettings(protocol::SettingsSections settings) {
        ASSERT_TRUE(protocol::WriteSettingsFile(dir.Path() / "QXCfg.dat", settings));
        ASSERT_TRUE(protocol::WriteSettingsFile(dir.Path() / "state.dat", settings));
    }

    std::unique_ptr<ChildProcess> Cli(std::vector<std::string> args) {
        args.insert(args.begin(), {"--adapter", bus, "--settings-dir", dir.Path().string()});
        return std::make_unique<ChildProcess>(QUILLON_CLI_PATH, args);
    }

    // Runs quillon-cli to its end; its output.
    std::string CliRun(std::vector<std::string> args) {
        const auto cli = Cli(std::move(args));
        const auto status = cli->WaitForExit(60s);
        EXPECT_EQ(status, 0) << cli->Output();
        return cli->Output();
    }

    std::vector<TimedFrame> Simulated(const std::string& as, const std::filesystem::path& input) {
        const auto out = dir.Path() / "simulated.log";
        CliRun({"simulate", "--as", as, input.string(), "-o", out.string()});
        return Frames(Read(out));
    }

    // Starts the device; skips the test where virtualcan cannot run here.
    void StartDevice(const std::string& type) {
        devsim = std::make_unique<ChildProcess>(
            QUILLON_DEVSIM_PATH, std::vector<std::string>{"--bus", bus, "--type", type, "--state",
                                                          (dir.Path() / "state.dat").string(),
                                                          "--storage", storage.Path().string()});
        if (devsim->WaitForLine("ready", 20s)) {
            return;
        }
        const auto status = devsim->WaitForExit(5s);
        const std::string output = devsim->Output();
        devsim.reset();
        if (status == DEVSIM_NO_BUS) {
            GTEST_SKIP() << "the virtualcan plugin cannot start here: " << output;
        }
        FAIL() << "quillon-devsim did not get ready: " << output;
    }

    // A dump of both channels that has heard the marker, so nothing sent from
    // now on escapes it. The first program on a virtualcan port serves the
    // bus for the others and takes it along when it ends: the dump, which
    // outlives the rest, must be that program, so nothing else starts before
    // its port listens. Markers sent before the dump was on the bus are lost.
    std::unique_ptr<ChildProcess> ListeningDump() {
        auto dump = Cli({"dump", "--timeout-ms", "30000"});
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (!Listening(port) && std::chrono::steady_clock::now() < deadline &&
               !dump->WaitForLine("a line no dump prints", 20ms)) {
        }
        // Each channel connects on its own: the marker must come through both.
        for (const std::string channel : {"can0", "can1"}) {
            for (int attempt = 0;; ++attempt) {
                if (attempt == 50) {
                    ADD_FAILURE() << "the dump never heard the marker on " << channel << ": "
                                  << dump->Output();
                    return dump;
                }
                CliRun({"send", channel, MARKER});
                if (dump->WaitForLine(channel + " 1FFFFFFF#R", 300ms)) {
                    break;
                }
            }
        }
        return dump;
    }

    // The dump's frames but the markers, once it has `count` of them (or
    // after 60 s); the dump is stopped then.
    static std::vector<TimedFrame> Captured(ChildProcess& dump, std::size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        std::vector<TimedFrame> frames;
        for (;;) {
            frames.clear();
            for (const TimedFrame& frame : Frames(dump.Output())) {
                if (!(frame.id == 0x1FFFFFFF && frame.remote)) {
                    frames.push_back(frame);
                }
            }
            if (frames.size() >= count || std::chrono::steady_clock::now() > deadline) {
                break;
            }
            // Gathers what comes meanwhile; a dump that has ended brings no more.
            if (!dump.WaitForLine("a line no dump prints", 100ms) && dump.WaitForExit(0ms)) {
                break;
            }
        }
        dump.Stop(5s);
        return frames;
    }

    TempDir dir;
    TempDir storage;
    std::uint16_t port = 0;
    std::string bus;
    std::filesystem::path log;
    std::unique_ptr<ChildProcess> devsim;
};

protocol::CanFilter RecordingRule(std::uint8_t trigger, std::uint32_t first, std::uint32_t last) {
    protocol::CanFilter rule;
    rule.used = 1;
    rule.trigger = trigger;
    rule.idStart = first;
    rule.idEnd = last;
    return rule;
}

// CAN1->CAN2 starts off (a start rule exists), 101 starts it, 7F0 stops it;
// 100 goes over rewritten both ways; CAN2's 300 comes back stretched to two
// bytes, and every CAN2 frame is copied to CAN1 as well.
TEST_F(OfflineLiveTest, BridgeSendsWhatSimulateForwards) {
    auto settings = protocol::FactorySettings();
    settings.bridge.rules[0] = Rule(0, protocol::BridgeRule::TRIGGER_START, 0x101);
    settings.bridge.rules[1] = Rule(0, protocol::BridgeRule::TRIGGER_STOP, 0x7F0);
    settings.bridge.rules[2] = Rule(2, 2, 0x100);
    settings.bridge.rules[2].dstId = 0x200;
    settings.bridge.rules[2].k = 2;
    settings.bridge.rules[2].kMask = 0x01;
    settings.bridge.rules[3] = Rule(1, 2, 0x300);
    settings.bridge.rules[3].dstLength = 2;
    settings.bridge.ruleCount = 4;
    settings.bridge.bridgeFlags = protocol::BridgePara::FLAG_CAN2_FORWARD_ALL;
    UseSettings(settings);
    const std::vector<TimedFrame> simulated = Simulated("bridge", log);
    ASSERT_FALSE(OnChannel(simulated, 0).empty());
    ASSERT_FALSE(OnChannel(simulated, 1).empty());
    const std::vector<TimedFrame> played = Frames(LOG);

    auto dump = ListeningDump();
    ASSERT_NO_FATAL_FAILURE(StartDevice("2"));
    if (IsSkipped()) {
        return;
    }
    CliRun({"play", log.string()});
    const auto captured = Captured(*dump, played.size() + simulated.size());
    for (int channel = 0; channel < 2; ++channel) {
        EXPECT_EQ(LessPlayed(OnChannel(captured, channel), OnChannel(played, channel)),
                  OnChannel(simulated, channel))
            << "channel " << channel << "\n"
            << dump->Output();
    }
}

// CAN1 records 1xx data frames between the start (101) and stop (7F0) rules,
// both of which record themselves; CAN2 records everything.
TEST_F(OfflineLiveTest, RecorderStoresWhatSimulateRecords) {
    auto settings = protocol::FactorySettings();
    settings.can1.filters[0] = RecordingRule(0, 0x101, 0x101);
    settings.can1.filters[1] = RecordingRule(1, 0x7F0, 0x7F0);
    settings.can1.filters[2] = RecordingRule(2, 0x100, 0x1FF);
    settings.can1.filterCount = 3;
    settings.can2.acceptAll = 1;
    UseSettings(settings);
    const std::vector<TimedFrame> simulated = Simulated("recorder", log);
    ASSERT_FALSE(OnChannel(simulated, 0).empty());
    ASSERT_FALSE(OnChannel(simulated, 1).empty());

    ASSERT_NO_FATAL_FAILURE(StartDevice("1"));
    if (IsSkipped()) {
        return;
    }
    CliRun({"play", log.string()});
    const auto file = storage.Path() / "REC00001.log";
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (Frames(Read(file)).size() < simulated.size() &&
           std::chrono::steady_clock::now() < deadline) {
        devsim->WaitForLine("a line the device never prints", 100ms);
    }
    const std::vector<TimedFrame> recorded = Frames(Read(file));
    for (int channel = 0; channel < 2; ++channel) {
        EXPECT_EQ(OnChannel(recorded, channel), OnChannel(simulated, channel))
            << "channel " << channel << "\n"
            << Read(file);
    }
}

// Twice through the stored log, CAN1's frames sent on CAN2 alone being left
// out: the list plays as soon as the device starts.
TEST_F(OfflineLiveTest, ReplayerSendsWhatSimulatePlays) {
    auto settings = protocol::FactorySettings();
    protocol::ReplayRule entry;
    entry.channelMask = 1;
    entry.times = 2;
    std::copy_n("LOG1", 4, entry.fileName.begin());
    settings.replay.rules[0] = entry;
    settings.replay.ruleCount = 1;
    settings.replay.sendMode = 2;
    UseSettings(settings);
    std::ofstream(storage.Path() / "LOG1.log", std::ios::binary) << LOG;
    const std::vector<TimedFrame> simulated = Simulated("replayer", storage.Path() / "LOG1.log");
    ASSERT_EQ(simulated.size(), 2 * OnChannel(Frames(LOG), 0).size());

    auto dump = ListeningDump();
    ASSERT_NO_FATAL_FAILURE(StartDevice("3"));
    if (IsSkipped()) {
        return;
    }
    const auto captured = Captured(*dump, simulated.size());
    EXPECT_EQ(OnChannel(captured, 0), std::vector<TimedFrame>()) << dump->Output();
    EXPECT_EQ(OnChannel(captured, 1), simulated) << dump->Output();
}

}  // namespace
}  // namespace quillon::test
