// quillon-cli simulate: runs the device model over logs, offline.
#include <filesystem>
#include <fstream>
#include <map>

#include "behaviour/DeviceModel.hpp"
#include "canlog/LogWriter.hpp"
#include "frontends/cli/Commands.hpp"
#include "frontends/cli/ConfigTextFile.hpp"
#include "frontends/cli/SimulateLogs.hpp"
#include "frontends/cli/SimulateReport.hpp"
#include "platform/system/Utf8Path.hpp"
#include "protocol/SettingsFile.hpp"

namespace quillon::cli {
namespace {

constexpr const char* PREFIX = "quillon-cli simulate: ";
// Frames read before the model takes them: enough to keep each stage in its
// own loop, few enough to stay in the cache.
constexpr std::size_t BATCH_FRAMES = 1024;
// A replay entry NAME plays the stored file NAME.log.
constexpr const char* STORED_LOG_EXTENSION = ".log";

// What the device records or sends, as a candump log (when -o names one).
// Lines gather in one buffer that goes out in large writes.
struct Output {
    static constexpr std::size_t FLUSH_BYTES = 256 * 1024;

    std::ofstream file;
    std::unique_ptr<canlog::LogWriter> writer;
    std::string text;
    std::uint64_t frames = 0;

    void Write(const std::vector<protocol::TimedFrame>& frames) {
        this->frames += frames.size();
        if (!file.is_open()) {
            return;
        }
        for (const protocol::TimedFrame& frame : frames) {
            writer->Write(frame, text);
        }
        if (text.size() >= FLUSH_BYTES) {
            Flush();
        }
    }

    void Flush() {
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
    }
};

// Feeds every frame of the logs, one log after the other, into the model.
int RunReceiving(const SimulateOptions& simulate, const canlog::ChannelNames& channels,
                 behaviour::DeviceModel& model, SimulateSummary& summary, Output& output,
                 std::ostream& err) {
    std::vector<protocol::TimedFrame> sent;
    for (const std::string& log : simulate.logs) {
        std::string why;
        const auto reader = SimulateLogReader::Open(log, channels, why);
        if (!reader) {
            err << PREFIX << why << '\n';
            return EXIT_BAD_FILE;
        }
        // A batch at a time: reading, the model and writing each run in a
        // tight loop of their own.
        std::vector<protocol::TimedFrame> batch(BATCH_FRAMES);
        for (;;) {
            std::size_t count = 0;
            while (count < BATCH_FRAMES && reader->Next(batch[count])) {
                ++count;
            }
            summary.framesIn += count;
            sent.clear();
            for (std::size_t i = 0; i < count; ++i) {
                model.Receive(batch[i], sent);
            }
            output.Write(sent);
            if (count < BATCH_FRAMES) {
                break;
            }
        }
        if (!reader->Problem().empty()) {
            err << PREFIX << reader->Problem() << '\n';
            return EXIT_BAD_FILE;
        }
    }
    return EXIT_OK;
}

// The logs stand for the device's storage: the replay entry NAME plays NAME.log.
// The first bad line of a stored log ends the run, as a bad line of a log does.
class StoredLogs {
  public:
    StoredLogs(const std::vector<std::string>& logs, const canlog::ChannelNames& channels)
        : channels_(channels) {
        for (const std::string& log : logs) {
            const std::filesystem::path path = sys::PathFromUtf8(log);
            if (path.extension() == STORED_LOG_EXTENSION) {
                files_[sys::PathToUtf8(path.stem())] = log;
            }
        }
    }

    std::unique_ptr<behaviour::FrameReader> Open(const std::string& name) {
        const auto found = files_.find(name);
        if (found == files_.end() || !problem_.empty()) {
            return nullptr;
        }
        auto reader = SimulateLogReader::Open(found->second, channels_, problem_);
        return reader ? std::make_unique<Checked>(std::move(reader), problem_) : nullptr;
    }

    const std::string& Problem() const { return problem_; }

  private:
    class Checked final : public behaviour::FrameReader {
      public:
        Checked(std::unique_ptr<SimulateLogReader> reader, std::string& problem)
            : reader_(std::move(reader)), problem_(problem) {}
        std::optional<protocol::TimedFrame> Next() override {
            auto frame = reader_->Next();
            if (!frame && !reader_->Problem().empty()) {
                problem_ = reader_->Problem();
            }
            return frame;
        }

      private:
        std::unique_ptr<SimulateLogReader> reader_;
        std::string& problem_;
    };

    const canlog::ChannelNames& channels_;
    std::map<std::string, std::string> files_;
    std::string problem_;
};

// Plays the replay list from the start of time over the stored logs.
int RunReplaying(const SimulateOptions& simulate, const canlog::ChannelNames& channels,
                 behaviour::DeviceModel& model, SimulateSummary& summary, Output& output,
                 std::ostream& err) {
    StoredLogs stored(simulate.logs, channels);
    behaviour::ReplayPlayer player =
        model.StartReplay([&stored](const std::string& name) { return stored.Open(name); }, 0);
    std::vector<protocol::TimedFrame> sent(1);
    while (stored.Problem().empty()) {
        const auto frame = player.Next();
        if (!frame) {
            break;
        }
        sent[0] = *frame;
        output.Write(sent);
    }
    if (!stored.Problem().empty()) {
        err << PREFIX << stored.Problem() << '\n';
        return EXIT_BAD_FILE;
    }
    summary.report = model.Report(&player);
    return EXIT_OK;
}

}  // namespace

int RunSimulate(const GlobalOptions& options, const SimulateOptions& simulate,
                sys::SystemServices& services, std::ostream& out, std::ostream& err) {
    const std::optional<behaviour::DeviceRole> role = behaviour::RoleFromName(simulate.as);
    if (!role) {
        err << PREFIX << "--as takes recorder, bridge or replayer, not \"" << simulate.as << "\"\n";
        return EXIT_USAGE;
    }
    canlog::ChannelNames channels = canlog::DEFAULT_CHANNEL_NAMES;
    if (const std::string problem = canlog::ParseChannelNames(simulate.channels, channels);
        !problem.empty()) {
        err << PREFIX << problem << '\n';
        return EXIT_USAGE;
    }
    std::string source;
    protocol::SettingsSections settings;
    if (!simulate.from.empty()) {
        const auto records =
            LoadConfigTextFile(simulate.from, services, "quillon-cli simulate", err);
        if (!records) {
            return EXIT_BAD_FILE;
        }
        source = simulate.from;
        settings = records->sections;
    } else {
        const std::filesystem::path file = SettingsDirectory(options, services) / "QXCfg.dat";
        if (const std::string problem = protocol::SettingsFileProblem(file); !problem.empty()) {
            err << PREFIX << problem << '\n';
            return EXIT_BAD_FILE;
        }
        source = sys::PathToUtf8(file);
        protocol::ReadSettingsFile(file, settings);
    }
    if (const auto refusals = behaviour::SettingsRefusals(settings); !refusals.empty()) {
        for (const std::string& refusal : refusals) {
            err << PREFIX << source << ": " << refusal << '\n';
        }
        return EXIT_BAD_FILE;
    }
    Output output;
    output.writer = canlog::MakeLogWriter(canlog::LogFormat::Candump, channels);
    if (!simulate.output.empty()) {
        output.file.open(sys::PathFromUtf8(simulate.output), std::ios::binary | std::ios::trunc);
        if (!output.file) {
            err << PREFIX << "cannot write " << simulate.output << '\n';
            return EXIT_BAD_FILE;
        }
    }
    behaviour::DeviceModel model(*role, settings);
    SimulateSummary summary;
    summary.role = *role;
    for (std::size_t i = 0; i < std::min<std::size_t>(settings.replay.ruleCount, 10); ++i) {
        summary.replayFiles.push_back(behaviour::ReplayFileName(settings.replay.rules[i]));
    }
    const int status = *role == behaviour::DeviceRole::Replayer
                           ? RunReplaying(simulate, channels, model, summary, output, err)
                           : RunReceiving(simulate, channels, model, summary, output, err);
    if (status != EXIT_OK) {
        return status;
    }
    if (*role != behaviour::DeviceRole::Replayer) {
        summary.report = model.Report();
    }
    summary.framesOut = output.frames;
    output.Flush();
    output.file.flush();
    if (output.file.is_open() && !output.file) {
        err << PREFIX << "cannot write " << simulate.output << '\n';
        return EXIT_FAILED;
    }
    if (options.json) {
        out << SimulateReportJson(summary).dump(2) << '\n';
    } else {
        PrintSimulateReport(summary, out);
    }
    return EXIT_OK;
}

}  // namespace quillon::cli
