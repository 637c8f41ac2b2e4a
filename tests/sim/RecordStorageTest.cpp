// The simulated device's storage: record files, their size, the first frame's
// time, a full storage with and without cyclic overwrite, initialisation.
#include "sim/RecordStorage.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/FakeSystem.hpp"

namespace quillon::sim {
namespace {

std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

protocol::TimedFrame Frame(std::int64_t timeUs, std::uint32_t id) {
    protocol::TimedFrame frame;
    frame.timeUs = timeUs;
    frame.id = id;
    frame.length = 8;
    return frame;
}

// "(1.000000) can0 123#0000000000000000\n" is 37 bytes.
constexpr std::uint64_t LINE_BYTES = 37;
constexpr std::uint64_t MB = 1024 * 1024;

protocol::SysPara System(std::uint16_t fileSizeMB, bool cyclic, bool timeZero) {
    protocol::SysPara sys;
    sys.fileSizeMB = fileSizeMB;
    sys.cyclicOverwrite = cyclic ? 1 : 0;
    sys.firstFrameTimeZero = timeZero ? 1 : 0;
    return sys;
}

TEST(RecordStorageTest, RecordsInCandumpLinesAndNumbersOnFromWhatIsThere) {
    test::TempDir dir;
    std::ofstream(dir.Path() / "REC00007.log") << "";
    RecordStorage storage(dir.Path(), 0);
    storage.StartRecording(System(1, false, false));
    ASSERT_TRUE(storage.Append(Frame(1'000'000, 0x123)));
    EXPECT_EQ(Read(dir.Path() / "REC00008.log"), "(1.000000) can0 123#0000000000000000\n");
}

TEST(RecordStorageTest, FirstFrameOfEachFileAtTimeZero) {
    test::TempDir dir;
    RecordStorage storage(dir.Path(), 0);
    storage.StartRecording(System(1, false, true));
    storage.Append(Frame(5'000'000, 0x1));
    storage.Append(Frame(5'250'000, 0x2));
    EXPECT_EQ(Read(dir.Path() / "REC00001.log"),
              "(0.000000) can0 001#0000000000000000\n(0.250000) can0 002#0000000000000000\n");
}

TEST(RecordStorageTest, NewFileWhenTheNextLineWouldPassTheFileSize) {
    test::TempDir dir;
    RecordStorage storage(dir.Path(), 0);
    storage.StartRecording(System(1, false, false));
    const std::uint64_t perFile = MB / LINE_BYTES;
    for (std::uint64_t i = 0; i <= perFile; ++i) {
        ASSERT_TRUE(storage.Append(Frame(1'000'000, 0x123)));
    }
    EXPECT_EQ(std::filesystem::file_size(dir.Path() / "REC00001.log"), perFile * LINE_BYTES);
    EXPECT_EQ(std::filesystem::file_size(dir.Path() / "REC00002.log"), LINE_BYTES);
}

TEST(RecordStorageTest, FullStorageStopsRecordingWithoutCyclicOverwrite) {
    test::TempDir dir;
    RecordStorage storage(dir.Path(), 3 * LINE_BYTES);
    storage.StartRecording(System(1, false, false));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(storage.Append(Frame(1'000'000, 0x100 + i)));
    }
    EXPECT_FALSE(storage.Append(Frame(1'000'000, 0x200)));
    EXPECT_TRUE(storage.Stopped());
    EXPECT_FALSE(storage.Append(Frame(1'000'000, 0x001)));
    EXPECT_EQ(std::filesystem::file_size(dir.Path() / "REC00001.log"), 3 * LINE_BYTES);
}

TEST(RecordStorageTest, FullStorageRemovesTheOldestFileWithCyclicOverwrite) {
    test::TempDir dir;
    std::ofstream(dir.Path() / "REC00001.log") << std::string(2 * LINE_BYTES, 'x');
    RecordStorage storage(dir.Path(), 3 * LINE_BYTES);
    storage.StartRecording(System(1, true, false));
    EXPECT_TRUE(storage.Append(Frame(1'000'000, 0x100)));
    EXPECT_TRUE(storage.Append(Frame(1'000'000, 0x101)));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "REC00001.log"));
    EXPECT_EQ(std::filesystem::file_size(dir.Path() / "REC00002.log"), 2 * LINE_BYTES);
    EXPECT_TRUE(storage.Append(Frame(1'000'000, 0x102)));
    EXPECT_FALSE(storage.Append(Frame(1'000'000, 0x103)))
        << "the file being written is never removed";
}

TEST(RecordStorageTest, ClearEmptiesTheDirectoryAndStartsAgainAtOne) {
    test::TempDir dir;
    std::ofstream(dir.Path() / "LOG1.log") << "(1.0) can0 100#\n";
    std::filesystem::create_directory(dir.Path() / "sub");
    RecordStorage storage(dir.Path(), 0);
    storage.StartRecording(System(1, false, false));
    storage.Append(Frame(1'000'000, 0x1));
    storage.Clear();
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    EXPECT_EQ(storage.Open("LOG1"), nullptr);
    storage.Append(Frame(2'000'000, 0x2));
    EXPECT_EQ(Read(dir.Path() / "REC00001.log"), "(2.000000) can0 002#0000000000000000\n");
}

TEST(RecordStorageTest, ReplayEntryOpensItsLogByName) {
    test::TempDir dir;
    std::ofstream(dir.Path() / "LOG1.log") << "# note\n(1.5) can1 100#01\n";
    RecordStorage storage(dir.Path(), 0);
    auto reader = storage.Open("LOG1");
    ASSERT_NE(reader, nullptr);
    const auto frame = reader->Next();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->timeUs, 1'500'000);
    EXPECT_EQ(frame->channel, 1);
    EXPECT_EQ(reader->Next(), std::nullopt);
    EXPECT_EQ(storage.Open("LOG2"), nullptr);
    EXPECT_EQ(storage.Open(""), nullptr);
}

}  // namespace
}  // namespace quillon::sim
