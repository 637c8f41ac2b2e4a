// The simulated device's memory between runs: the state file's bytes, what a
// damaged or foreign file gives, where the file lies by default, and a device
// that finds its parameters, DTU records and image again after a restart.
#include "sim/DeviceState.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <thread>

#include "platform/system/Utf8Path.hpp"
#include "protocol/DtuFrames.hpp"
#include "protocol/ParameterFrames.hpp"
#include "sim/DeviceConfig.hpp"
#include "sim/SimulatedDevice.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::sim {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const DeviceOwner OWNER{2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}};

DeviceState SampleState() {
    DeviceState state;
    state.store.can1 = protocol::CanPara::Defaults();
    state.store.can1.baudIndex = 3;
    state.store.can2 = protocol::CanPara::Defaults();
    state.store.sys.fileSizeMB = 0x0120;
    state.dtuBasic.serverPort = 0x00002328;
    state.dtuAdvanced.timedStartMin = 1440;
    state.image = {true, 0x0102030405, {}};
    state.image.sha256.fill(0xAB);
    return state;
}

std::vector<std::uint8_t> Encoded(const DeviceState& state, const DeviceOwner& owner = OWNER) {
    const auto bytes = EncodeDeviceState(state, owner);
    return {bytes.begin(), bytes.end()};
}

// Rewrites the trailing FNV-1a so that a deliberate change passes the checksum.
void Reseal(std::vector<std::uint8_t>& bytes) {
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < 2196; ++i) {
        hash = (hash ^ bytes[i]) * 16777619u;
    }
    for (int i = 0; i < 4; ++i) {
        bytes[2196 + i] = static_cast<std::uint8_t>(hash >> (8 * i));
    }
}

void WriteFile(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

TEST(DeviceStateTest, LayoutOfTheStateFile) {
    const auto bytes = Encoded(SampleState());
    ASSERT_EQ(bytes.size(), 2200u);
    const std::vector<std::uint8_t> head(bytes.begin(), bytes.begin() + 24);
    EXPECT_EQ(head, (std::vector<std::uint8_t>{'Q',  'L',  'N',  'D',  'E', 'V', 'S', 'T',
                                               0x01, 0x00, 0x02, 0x00, 1,   2,   3,   4,
                                               5,    6,    7,    8,    9,   10,  11,  12}));
    EXPECT_EQ(bytes[24 + 1], 1) << "CAN1 enable, first byte after its checksum";
    EXPECT_EQ(bytes[24 + 2], 3) << "CAN1 baudIndex";
    EXPECT_EQ(bytes[1696 + 36], 0x28) << "DTU server port, low byte";
    EXPECT_EQ(bytes[1696 + 37], 0x23);
    EXPECT_EQ(bytes[2152], 1) << "image present";
    const std::vector<std::uint8_t> length(bytes.begin() + 2156, bytes.begin() + 2164);
    EXPECT_EQ(length, (std::vector<std::uint8_t>{0x05, 0x04, 0x03, 0x02, 0x01, 0, 0, 0}));
    EXPECT_EQ(bytes[2164], 0xAB);
    EXPECT_EQ(bytes[2195], 0xAB);
}

TEST(DeviceStateTest, RoundTripKeepsEveryPart) {
    const DeviceState state = SampleState();
    const auto loaded = DecodeDeviceState(Encoded(state), OWNER, "x.state");
    ASSERT_TRUE(loaded.state) << loaded.warning;
    EXPECT_TRUE(loaded.warning.empty());
    DeviceState expected = state;
    protocol::UpdateChecksums(expected.store);
    EXPECT_EQ(loaded.state->store, expected.store);
    EXPECT_EQ(loaded.state->dtuBasic.serverPort, state.dtuBasic.serverPort);
    EXPECT_EQ(loaded.state->dtuAdvanced.timedStartMin, 1440u);
    EXPECT_EQ(loaded.state->image, state.image);
}

TEST(DeviceStateTest, DamagedOrForeignFilesGiveNoStateAndSayWhy) {
    const auto good = Encoded(SampleState());
    auto foreignType = Encoded(SampleState(), {3, OWNER.serial});
    auto foreignSerial = Encoded(SampleState(), {2, {9}});
    auto badMagic = good;
    badMagic[0] = 'X';
    Reseal(badMagic);
    auto badVersion = good;
    badVersion[8] = 2;
    Reseal(badVersion);
    auto flipped = good;
    flipped[1000] ^= 0x01;
    const std::map<std::string, std::pair<std::vector<std::uint8_t>, std::string>> rows = {
        {"empty", {{}, "not a device state file (0 bytes, expected 2200)"}},
        {"short", {std::vector<std::uint8_t>(good.begin(), good.end() - 1), "(2199 bytes"}},
        {"long",
         {[&] {
              auto b = good;
              b.push_back(0);
              return b;
          }(),
          "(2201 bytes"}},
        {"flipped byte", {flipped, "checksum mismatch (the file is damaged)"}},
        {"no mark", {badMagic, "no QLNDEVST mark"}},
        {"later layout", {badVersion, "layout version 2 is not known"}},
        {"other type", {foreignType, "type 3, serial 0102030405060708090A0B0C"}},
        {"other serial", {foreignSerial, "type 2, serial 090000000000000000000000"}},
    };
    for (const auto& [name, row] : rows) {
        SCOPED_TRACE(name);
        const auto loaded = DecodeDeviceState(row.first, OWNER, "/s/dev.state");
        EXPECT_FALSE(loaded.state);
        EXPECT_EQ(loaded.warning.rfind("state file /s/dev.state: ", 0), 0u) << loaded.warning;
        EXPECT_NE(loaded.warning.find(row.second), std::string::npos) << loaded.warning;
        EXPECT_NE(loaded.warning.find("; the simulated device starts fresh"), std::string::npos);
    }
}

TEST(DeviceStateTest, EverySingleByteCorruptionIsCaught) {
    const auto good = Encoded(SampleState());
    for (std::size_t i = 0; i < good.size(); ++i) {
        auto bad = good;
        bad[i] ^= 0x40;
        EXPECT_FALSE(DecodeDeviceState(bad, OWNER, "f").state) << "byte " << i;
    }
}

// What state=PATH kept before: the parameter store alone, as QXCfg.dat holds it.
TEST(DeviceStateTest, ParameterStoreAloneIsStillRead) {
    protocol::SettingsSections store;
    store.can1 = protocol::CanPara::Defaults();
    store.can1.workMode = 1;
    store.can2 = protocol::CanPara::Defaults();
    protocol::UpdateChecksums(store);
    const auto image = protocol::EncodeSettings(store);
    const auto loaded =
        DecodeDeviceState(std::vector<std::uint8_t>(image.begin(), image.end()), OWNER, "f");
    ASSERT_TRUE(loaded.state);
    EXPECT_TRUE(loaded.warning.empty());
    EXPECT_EQ(loaded.state->store, store);
    EXPECT_FALSE(loaded.state->image.present);
}

// A damaged section of the older form starts from a fresh device's values, whole:
// no stored bridge flag or replay value of it survives.
TEST(DeviceStateTest, DamagedSectionsOfAParameterStoreStartFresh) {
    protocol::SettingsSections store;
    store.can1 = protocol::CanPara::Defaults();
    store.can1.workMode = 1;
    store.can2 = protocol::CanPara::Defaults();
    store.sys.fileSizeMB = 64;
    store.bridge.ruleCount = 1;
    store.bridge.bridgeFlags = protocol::BridgePara::FLAG_CAN1_FORWARD_ALL;
    store.replay.sendMode = 2;
    store.replay.auxValue = 0x01020304;
    protocol::UpdateChecksums(store);
    const auto image = protocol::EncodeSettings(store);
    struct Row {
        const char* name;
        std::size_t corruptOffset;
        void (*expect)(protocol::SettingsSections&);
    };
    const Row rows[] = {
        {"bridge", 936 + 3, [](auto& s) { s.bridge = {}; }},
        {"replay", 1380 + 3, [](auto& s) { s.replay = {}; }},
        {"system", 656 + 1, [](auto& s) { s.sys = protocol::SysPara::Defaults(); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::uint8_t> bytes(image.begin(), image.end());
        bytes[row.corruptOffset] ^= 0x01;
        const auto loaded = DecodeDeviceState(bytes, OWNER, "f");
        ASSERT_TRUE(loaded.state);
        protocol::SettingsSections expected = store;
        row.expect(expected);
        EXPECT_EQ(loaded.state->store, expected);
    }
}

TEST(DeviceStateTest, LoadingChecksTheKindOfFile) {
    test::TempDir dir;
    EXPECT_FALSE(LoadDeviceState(dir.Path() / "missing.state", OWNER).state);
    EXPECT_TRUE(LoadDeviceState(dir.Path() / "missing.state", OWNER).warning.empty())
        << "no file yet: a fresh device, nothing to warn about";
    const auto directory = LoadDeviceState(dir.Path(), OWNER);
    EXPECT_FALSE(directory.state);
    EXPECT_NE(directory.warning.find("not a regular file"), std::string::npos);
}

TEST(DeviceStateTest, SaveCreatesTheDirectoryAndLoadReadsItBack) {
    test::TempDir dir;
    const fs::path file = dir.Path() / "a" / "b" / "dev.state";
    ASSERT_TRUE(SaveDeviceState(file, SampleState(), OWNER));
    EXPECT_EQ(fs::file_size(file), 2200u);
    const auto loaded = LoadDeviceState(file, OWNER);
    ASSERT_TRUE(loaded.state) << loaded.warning;
    EXPECT_EQ(loaded.state->image, SampleState().image);
}

TEST(DeviceStateTest, DefaultPathFollowsTheStateDirectory) {
    const auto env = [](std::map<std::string, std::string> vars) {
        return [vars](const char* name) -> std::optional<std::string> {
            const auto found = vars.find(name);
            return found == vars.end() ? std::nullopt : std::optional(found->second);
        };
    };
    const std::string name = "sim-type2-0102030405060708090A0B0C.state";
    EXPECT_EQ(DefaultStatePath(OWNER, env({{"XDG_STATE_HOME", "/x"}, {"HOME", "/h"}})),
              fs::path("/x/quillon/" + name));
    EXPECT_EQ(DefaultStatePath(OWNER, env({{"XDG_STATE_HOME", ""}, {"HOME", "/h"}})),
              fs::path("/h/.local/state/quillon/" + name));
    EXPECT_EQ(DefaultStatePath(OWNER, env({{"HOME", "/h"}})),
              fs::path("/h/.local/state/quillon/" + name));
    EXPECT_EQ(DefaultStatePath(OWNER, env({})), fs::path());
}

TEST(DeviceStateTest, StateOptionChoosesTheFile) {
    const EnvironmentLookup env = [](const char* name) -> std::optional<std::string> {
        return std::string(name) == "XDG_STATE_HOME" ? std::optional<std::string>("/st")
                                                     : std::nullopt;
    };
    const struct {
        const char* options;
        const char* path;
    } rows[] = {
        {"", "/st/quillon/sim-type1-514C4E002026120700000001.state"},
        {"type=2,serial=0102030405060708090A0B0C",
         "/st/quillon/sim-type2-0102030405060708090A0B0C.state"},
        {"state=none", ""},
        {"state=/tmp/mine.state,type=3", "/tmp/mine.state"},
    };
    for (const auto& row : rows) {
        std::string error;
        const auto config = ParseDeviceConfig(row.options, error, env);
        ASSERT_TRUE(config) << row.options << ": " << error;
        // Compared as paths: the default one is joined with the system's separator.
        EXPECT_EQ(sys::PathFromUtf8(config->statePath), fs::path(row.path)) << row.options;
    }
}

// A device on its own bus, restarted over the same state file.
class RememberingDeviceTest : public ::testing::Test {
  protected:
    void Start() {
        DeviceConfig config;
        config.type = 7;
        config.eraseMs = 100;
        config.statePath = sys::PathToUtf8(dir.Path() / fileName);
        device = std::make_unique<SimulatedDevice>(bus, config, clock);
    }
    void Send(CanFrameRecord frame, bool encipher = true) {
        if (encipher) {
            cipher.EncipherPayload(frame.Data);
        }
        pc->SendOn(0, frame);
    }
    // The device works on its own thread: waits, bounded, until `done` holds.
    static bool WaitFor(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        return done();
    }
    static CanFrameRecord Upgrade(std::uint32_t id, bool extended, std::vector<std::uint8_t> data) {
        CanFrameRecord frame{};
        frame.ID = id;
        frame.ExternFlag = extended ? 1 : 0;
        frame.RemoteFlag = extended ? 1 : 0;
        frame.DataLen = static_cast<std::uint8_t>(data.size());
        std::copy(data.begin(), data.end(), frame.Data);
        return frame;
    }

    test::TempDir dir;
    fs::path fileName = "dev.state";
    test::FakeClock clock;
    protocol::Cpc1crypt cipher;
    std::shared_ptr<kelvix::VirtualCanBus> bus = kelvix::VirtualCanBus::Create();
    std::unique_ptr<kelvix::VirtualCanPort> pc = bus->Attach(kelvix::VirtualCanPort::ALL_CHANNELS);
    std::unique_ptr<SimulatedDevice> device;
};

TEST_F(RememberingDeviceTest, DtuRecordsAndImageSurviveARestart) {
    Start();
    protocol::DtuBasicPara basic{};
    const std::string_view server = "gw.example.net";
    std::copy(server.begin(), server.end(), basic.serverAddr.begin());
    basic.serverAddrLen = static_cast<std::uint8_t>(server.size());
    basic.serverPort = 9000;
    basic.connectMode = 2;
    basic.uartBaud = 115200;
    protocol::DtuAdvPara advanced{};
    advanced.apn[0] = 'C';
    advanced.apnLen = 1;
    advanced.timedStartMin = 90;
    const auto build = protocol::BuildDtuFrames(basic, advanced);
    ASSERT_TRUE(build.ok) << build.message;
    for (const auto& frame : build.frames) {
        Send(frame);
    }
    ASSERT_TRUE(WaitFor([&] { return device->DtuBasic().serverPort == 9000; }));
    Send(Upgrade(1, true, {}), false);
    ASSERT_TRUE(WaitFor([&] { return device->Loader().Erasing(); }));
    clock.AdvanceMs(100);
    Send(Upgrade(2, true, {}), false);
    Send(Upgrade(1, false, {'f', 'i', 'r', 'm'}), false);
    ASSERT_TRUE(WaitFor([&] { return device->Loader().ImageLength() == 4; }));
    const std::string hash = device->Loader().Sha256Hex();
    device.reset();

    Start();
    EXPECT_TRUE(device->StateWarning().empty()) << device->StateWarning();
    EXPECT_EQ(device->DtuBasic().serverPort, 9000u);
    EXPECT_EQ(device->DtuBasic().uartBaud, 115200u);
    EXPECT_EQ(device->DtuAdvanced().timedStartMin, 90u);
    EXPECT_EQ(device->Loader().ImageLength(), 4u);
    EXPECT_EQ(device->Loader().Sha256Hex(), hash);
    EXPECT_EQ(hash, Sha256::HexOf(std::vector<std::uint8_t>{'f', 'i', 'r', 'm'}));
}

TEST_F(RememberingDeviceTest, AStateFileWithANonAsciiNameIsKeptUnderThatName) {
    fileName = sys::PathFromUtf8("设备 状态.state");
    Start();
    Send(Upgrade(1, true, {}), false);
    ASSERT_TRUE(WaitFor([&] { return device->Loader().Erasing(); }));
    clock.AdvanceMs(100);
    Send(Upgrade(2, true, {}), false);
    Send(Upgrade(1, false, {'f', 'i', 'r', 'm'}), false);
    ASSERT_TRUE(WaitFor([&] { return device->Loader().ImageLength() == 4; }));
    device.reset();
    EXPECT_TRUE(fs::is_regular_file(dir.Path() / fileName));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1)
        << "no file under another name";

    Start();
    EXPECT_TRUE(device->StateWarning().empty()) << device->StateWarning();
    EXPECT_EQ(device->Loader().ImageLength(), 4u);
}

TEST_F(RememberingDeviceTest, DamagedFileGivesAFreshDeviceAndAWarning) {
    WriteFile(dir.Path() / "dev.state", std::vector<std::uint8_t>(2200, 0x5A));
    Start();
    EXPECT_EQ(device->StateWarning(), "state file " + (dir.Path() / "dev.state").string() +
                                          ": checksum mismatch (the file is damaged); the "
                                          "simulated device starts fresh");
    EXPECT_EQ(device->Parameters(), protocol::FactorySettings());
    EXPECT_EQ(device->DtuBasic(), protocol::DtuBasicPara{});
    EXPECT_FALSE(device->Loader().Record().present);
}

}  // namespace
}  // namespace quillon::sim
