#include "frontends/devsim/DevsimReport.hpp"

#include <cstdio>

namespace quillon::sim {
namespace {

std::string HexBytes(const std::uint8_t* data, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof(byte), i == 0 ? "%02X" : " %02X", data[i]);
        text += byte;
    }
    return text;
}

// Printable ASCII stays, everything else is escaped, so one line stays one line.
std::string Escaped(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            escaped += "\\r";
        } else if (c == '\n') {
            escaped += "\\n";
        } else if (c == '"' || c == '\\') {
            escaped += std::string("\\") + c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof(hex), "\\x%02X", byte);
            escaped += hex;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string ChannelSummary(const char* name, const protocol::CanPara& can) {
    return std::string(name) + " enable=" + std::to_string(can.enable) +
           " baudIndex=" + std::to_string(can.baudIndex);
}

}  // namespace

DevsimReport::DevsimReport(std::ostream& out, const sys::Clock& clock) : out_(out), clock_(clock) {}

SimulatedDevice::EventLog DevsimReport::Log() {
    return [this](const std::string& line) {
        std::lock_guard lock(mutex_);
        events_.push_back(line);
    };
}

void DevsimReport::Poll(const SimulatedDevice& device) {
    std::deque<std::string> events;
    {
        std::lock_guard lock(mutex_);
        events.swap(events_);
    }
    for (const auto& line : events) {
        PrintEvent(line, device);
    }
    PrintDebugText(device);
    PrintUpgrade(device);
    out_.flush();
}

void DevsimReport::PrintEvent(const std::string& line, const SimulatedDevice& device) {
    if (line == "parameter write applied") {
        const auto store = device.Parameters();
        out_ << line << " (" << device.WritesApplied()
             << " so far): " << ChannelSummary("CAN1", store.can1) << ", "
             << ChannelSummary("CAN2", store.can2) << ", fileSizeMB=" << store.sys.fileSizeMB
             << ", bridge rules=" << int(store.bridge.ruleCount)
             << ", replay files=" << int(store.replay.ruleCount) << '\n';
        return;
    }
    out_ << line << '\n';
    if (line.starts_with("DTU record received")) {
        for (const auto& frame : device.DtuFrames()) {
            char id[8];
            std::snprintf(id, sizeof(id), "0x%02X", frame.ID);
            out_ << "  DTU " << id << ": "
                 << HexBytes(frame.Data, std::min<std::size_t>(frame.DataLen, 8)) << '\n';
        }
    }
}

void DevsimReport::PrintDebugText(const SimulatedDevice& device) {
    const std::string text = device.DebugText();
    if (text.size() > debugShown_) {
        out_ << "debug text: \"" << Escaped(std::string_view(text).substr(debugShown_)) << "\"\n";
        debugShown_ = text.size();
    }
}

void DevsimReport::PrintUpgrade(const SimulatedDevice& device) {
    const Bootloader& loader = device.Loader();
    const std::uint64_t frames = loader.FramesReceived();
    const std::uint64_t bytes = loader.ImageLength();
    const std::uint64_t now = clock_.MonotonicMs();
    if (frames < framesSeen_) {  // a new erase started a new image
        progressShown_ = 0;
        imageReportedAt_ = 0;
    }
    if (frames != framesSeen_) {
        framesSeen_ = frames;
        lastFrameMs_ = now;
    }
    while (bytes >= progressShown_ + PROGRESS_STEP_BYTES) {
        progressShown_ += PROGRESS_STEP_BYTES;
        out_ << "upgrade: " << progressShown_ << " bytes received\n";
    }
    const bool endedByShortFrame = frames * 8 > bytes;
    const bool quiet = now - lastFrameMs_ >= IMAGE_QUIET_MS;
    if (frames > 0 && frames != imageReportedAt_ && (endedByShortFrame || quiet)) {
        imageReportedAt_ = frames;
        out_ << "upgrade: image received, " << bytes << " bytes in " << frames << " frames, sha256 "
             << loader.Sha256Hex() << '\n';
    }
}

}  // namespace quillon::sim
