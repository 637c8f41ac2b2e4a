#include <array>

#include "canlog/FrameRecord.hpp"
#include "canlog/LogReader.hpp"
#include "frontends/cli/ExitCode.hpp"
#include "frontends/cli/LogCommands.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/TraceLine.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::cli {
namespace {

constexpr std::uint32_t RECEIVE_CAPACITY = 64;

// The adapter opened with the channels a command uses started; closed with the object.
class OpenAdapter {
  public:
    explicit OpenAdapter(const GlobalOptions& global)
        : index_(static_cast<std::uint32_t>(global.index)) {
        ApplyAdapterOptions(global);
        open_ = VCI_OpenDevice(KELVIX_DEVICE_TYPE, index_, 0) == 1;
    }
    ~OpenAdapter() {
        if (open_) {
            VCI_CloseDevice(KELVIX_DEVICE_TYPE, index_);
        }
    }
    OpenAdapter(const OpenAdapter&) = delete;
    OpenAdapter& operator=(const OpenAdapter&) = delete;

    /// Prints why when the adapter did not open.
    bool Ready(const std::string& command, std::ostream& err) const {
        if (!open_) {
            err << "quillon-cli " << command << ": cannot open adapter " << index_ << ": "
                << kelvix::LastOpenError() << '\n';
        }
        return open_;
    }
    void Start(int channel) {
        VCI_StartCAN(KELVIX_DEVICE_TYPE, index_, static_cast<std::uint32_t>(channel));
    }
    bool Send(int channel, const CanFrameRecord& frame) {
        return VCI_Transmit(KELVIX_DEVICE_TYPE, index_, static_cast<std::uint32_t>(channel), &frame,
                            1) == 1;
    }
    std::int32_t Receive(int channel, std::array<CanFrameRecord, RECEIVE_CAPACITY>& frames) {
        return VCI_Receive(KELVIX_DEVICE_TYPE, index_, static_cast<std::uint32_t>(channel),
                           frames.data(), RECEIVE_CAPACITY, 0);
    }

  private:
    std::uint32_t index_;
    bool open_ = false;
};

bool ChannelsOption(const std::string& command, const LogCommandOptions& options,
                    canlog::ChannelNames& names, std::ostream& err) {
    if (const std::string problem = canlog::ParseChannelNames(options.channels, names);
        !problem.empty()) {
        err << "quillon-cli " << command << ": " << problem << '\n';
        return false;
    }
    return true;
}

// The channel CH names, or -1 after saying why not.
int NamedChannel(const std::string& command, const canlog::ChannelNames& names,
                 const std::string& name, std::ostream& err) {
    const int channel = canlog::ChannelOfName(names, name);
    if (channel < 0) {
        err << "quillon-cli " << command << ": " << name << " is not one of the channels "
            << names[0] << "," << names[1] << " (see --channels)\n";
    }
    return channel;
}

// cansend's ID#DATA, read by the candump line parser; dots may part the bytes.
bool ParseFrameText(std::string text, CanFrameRecord& frame, std::ostream& err) {
    const auto hash = text.find('#');
    if (hash != std::string::npos) {
        std::erase(text, '.');
    }
    const kelvix::CandumpLine parsed = kelvix::ParseCandumpLine("(0) x " + text);
    if (parsed.verdict != kelvix::CandumpVerdict::Frame) {
        err << "quillon-cli send: " << text << " is not ID#DATA (123#DEADBEEF, 1ABCDEF0#R): "
            << (parsed.verdict == kelvix::CandumpVerdict::Malformed ? parsed.problem : "empty")
            << '\n';
        return false;
    }
    frame = parsed.frame;
    return true;
}

}  // namespace

int RunSend(const GlobalOptions& global, const LogCommandOptions& options, std::ostream&,
            std::ostream& err) {
    canlog::ChannelNames names;
    if (!ChannelsOption("send", options, names, err)) {
        return EXIT_USAGE;
    }
    const int channel = NamedChannel("send", names, options.in, err);
    CanFrameRecord frame{};
    if (channel < 0 || !ParseFrameText(options.out, frame, err)) {
        return EXIT_USAGE;
    }
    OpenAdapter adapter(global);
    if (!adapter.Ready("send", err)) {
        return EXIT_NO_ADAPTER;
    }
    adapter.Start(channel);
    if (!adapter.Send(channel, frame)) {
        err << "quillon-cli send: the adapter did not take the frame\n";
        return EXIT_FAILED;
    }
    return EXIT_OK;
}

int RunDump(const GlobalOptions& global, const LogCommandOptions& options,
            sys::SystemServices& services, std::ostream& out, std::ostream& err) {
    canlog::ChannelNames names;
    if (!ChannelsOption("dump", options, names, err)) {
        return EXIT_USAGE;
    }
    std::array<bool, 2> listened = {true, true};
    if (!options.in.empty()) {
        const int channel = NamedChannel("dump", names, options.in, err);
        if (channel < 0) {
            return EXIT_USAGE;
        }
        listened = {channel == 0, channel == 1};
    }
    OpenAdapter adapter(global);
    if (!adapter.Ready("dump", err)) {
        return EXIT_NO_ADAPTER;
    }
    for (int channel = 0; channel < 2; ++channel) {
        if (listened[channel]) {
            adapter.Start(channel);
        }
    }
    long long printed = 0;
    std::uint64_t lastFrameMs = services.clock.MonotonicMs();
    std::array<CanFrameRecord, RECEIVE_CAPACITY> frames;
    for (;;) {
        bool any = false;
        for (int channel = 0; channel < 2; ++channel) {
            const std::int32_t count = listened[channel] ? adapter.Receive(channel, frames) : 0;
            const auto timeUs = static_cast<std::int64_t>(services.clock.UnixTimeUs());
            for (std::int32_t i = 0; i < count; ++i) {
                out << kelvix::FormatCandumpLine(frames[i], names[channel], timeUs) << '\n';
                any = true;
                if (options.count > 0 && ++printed == options.count) {
                    out.flush();
                    return EXIT_OK;
                }
            }
        }
        out.flush();
        if (any) {
            lastFrameMs = services.clock.MonotonicMs();
            continue;
        }
        if (options.timeoutMs > 0 && services.clock.MonotonicMs() - lastFrameMs >=
                                         static_cast<std::uint64_t>(options.timeoutMs)) {
            return EXIT_OK;
        }
        services.sleeper.SleepMs(1);
    }
}

int RunPlay(const GlobalOptions& global, const LogCommandOptions& options,
            sys::SystemServices& services, std::ostream& out, std::ostream& err) {
    canlog::ChannelNames names;
    if (!ChannelsOption("play", options, names, err)) {
        return EXIT_USAGE;
    }
    canlog::OpenedLog log =
        canlog::OpenLogReader(sys::PathFromUtf8(options.in), std::nullopt, names);
    if (!log.reader) {
        err << "quillon-cli play: " << log.error << '\n';
        return EXIT_BAD_FILE;
    }
    OpenAdapter adapter(global);
    if (!adapter.Ready("play", err)) {
        return EXIT_NO_ADAPTER;
    }
    adapter.Start(0);
    adapter.Start(1);
    protocol::TimedFrame frame;
    std::uint64_t sent = 0;
    std::int64_t firstUs = 0;
    const std::uint64_t startNs = services.clock.MonotonicNs();
    while (log.reader->Next(frame)) {
        if (sent == 0) {
            firstUs = frame.timeUs;
        }
        // Each frame goes at its offset in the log from the start of the play.
        const std::int64_t dueNs = (frame.timeUs - firstUs) * 1000;
        const auto elapsedNs = static_cast<std::int64_t>(services.clock.MonotonicNs() - startNs);
        if (dueNs > elapsedNs) {
            services.sleeper.SleepNs(static_cast<std::uint64_t>(dueNs - elapsedNs));
        }
        if (!adapter.Send(frame.channel, canlog::ToFrameRecord(frame))) {
            err << "quillon-cli play: the adapter did not take the frame of " << options.in << ":"
                << log.reader->LineNumber() << "; " << sent << " frames sent\n";
            return EXIT_FAILED;
        }
        ++sent;
    }
    if (!log.reader->Error().empty()) {
        err << "quillon-cli play: " << log.reader->Error() << "; " << sent << " frames sent\n";
        return EXIT_BAD_FILE;
    }
    out << options.in << ": " << sent << " frames sent\n";
    return EXIT_OK;
}

}  // namespace quillon::cli
