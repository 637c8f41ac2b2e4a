// quillon-cli debug run in-process: typed lines come from a stream the test
// holds open until the device's answer has been printed.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <sstream>

#include "frontends/cli/CliApp.hpp"
#include "frontends/cli/ExitCode.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "sim/SimDevices.hpp"
#include "support/FakeSystem.hpp"
#include "support/ScriptedAdapter.hpp"

namespace quillon::cli {
namespace {

using namespace std::chrono_literals;

// Output the command writes on its thread, watched from the input's thread.
class WatchedOutput : public std::streambuf {
  public:
    std::string Text() const {
        std::lock_guard lock(mutex_);
        return text_;
    }
    /// Waits, bounded and without sleeping, until the output holds `needle`.
    bool WaitFor(std::string_view needle) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s,
                                 [&] { return text_.find(needle) != std::string::npos; });
    }

  protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            const char byte = traits_type::to_char_type(c);
            xsputn(&byte, 1);
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        {
            std::lock_guard lock(mutex_);
            text_.append(text, static_cast<std::size_t>(count));
        }
        changed_.notify_all();
        return count;
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::string text_;
};

// Typed lines, then an end of input that comes only once `beforeEnd` returned.
class TypedInput : public std::streambuf {
  public:
    TypedInput(std::string lines, std::function<void()> beforeEnd)
        : lines_(std::move(lines)), beforeEnd_(std::move(beforeEnd)) {}

  protected:
    int_type underflow() override {
        if (!given_ && !lines_.empty()) {
            given_ = true;
            setg(lines_.data(), lines_.data(), lines_.data() + lines_.size());
            return traits_type::to_int_type(*gptr());
        }
        if (beforeEnd_) {
            std::exchange(beforeEnd_, nullptr)();
        }
        return traits_type::eof();
    }

  private:
    std::string lines_;
    std::function<void()> beforeEnd_;
    bool given_ = false;
};

struct Result {
    int status;
    std::string out;
    std::string err;
};

class DebugCommandTest : public ::testing::Test {
  protected:
    void TearDown() override { kelvix::CloseAllAdapters(); }

    Result Run(std::vector<std::string> args, std::istream& in) {
        args.insert(args.begin(), "quillon-cli");
        std::vector<const char*> argv;
        for (const auto& arg : args) {
            argv.push_back(arg.c_str());
        }
        std::ostream out(&output);
        std::ostringstream err;
        const int status =
            RunCli(static_cast<int>(argv.size()), argv.data(), in, out, err, system.services);
        return {status, output.Text(), err.str()};
    }

    test::FakeSystem system;
    WatchedOutput output;
};

TEST_F(DebugCommandTest, TypedLinesReachTheDeviceAndItsAnswersArePrintedAsTheyArrive) {
    bool answered = false;
    std::string deviceText;
    TypedInput typed("hello device\nAT\n", [&] {
        answered = output.WaitFor("[3] 02 00 ");
        if (const auto device = sim::LastSimulatedDevice()) {
            deviceText = device->DebugText();
        }
    });
    std::istream in(&typed);
    const auto run = Run({"debug", "--drain-ms", "0"}, in);
    EXPECT_EQ(run.status, EXIT_OK) << run.err;
    EXPECT_TRUE(answered) << "printed while the input was still open";
    EXPECT_EQ(deviceText, "hello device\r\nAT\r\n") << "each line sent with its line end";
    EXPECT_EQ(run.out,
              "[0] hello \n[1] ok\n[2] err 0\n[3] 0C 00 \n"
              "[0] AT\n[1] ok\n[2] err 0\n[3] 02 00 \n");
    EXPECT_EQ(run.err, "");
}

TEST_F(DebugCommandTest, RefusedLineFailsAndNothingAfterItIsSent) {
    test::ScriptedAdapterScope adapter;
    adapter.Bus().RefuseFrame(1);
    std::istringstream in("first\nsecond\n");
    const auto run = Run({"--adapter", "scripted", "debug", "--drain-ms", "0"}, in);
    EXPECT_EQ(run.status, EXIT_FAILED);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "quillon-cli debug: error: 写入参数失败，请检查设备是否连接正常!\n"
              "quillon-cli debug: line 1 was not sent; nothing more is sent\n");
    EXPECT_EQ(adapter.Bus().CallsNamed("Transmit").size(), 1u) << "the second line stays unsent";
}

TEST_F(DebugCommandTest, NoAdapterNoSession) {
    std::istringstream in("never sent\n");
    const auto run = Run({"--adapter", "nosuch", "debug"}, in);
    EXPECT_EQ(run.status, EXIT_NO_ADAPTER);
    EXPECT_NE(run.err.find("unknown adapter backend"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace quillon::cli
