#include "sim/DeviceBehaviour.hpp"

#include <algorithm>

#include "protocol/Capacities.hpp"
#include "protocol/FrameCatalogue.hpp"
#include "protocol/ParameterFrames.hpp"

namespace quillon::sim {
namespace {

// Parameter frames run up to the last part of the last replay rule.
constexpr std::uint32_t LAST_PARAMETER_ID =
    protocol::ID_REPLAY_RULES + 4 * protocol::MAX_REPLAY_RULES;

}  // namespace

bool IsConfigurationFrame(const CanFrameRecord& frame) {
    if (protocol::SentPlain(frame)) {
        return true;
    }
    if (frame.ExternFlag != 0) {
        return frame.ID <= LAST_PARAMETER_ID;
    }
    return frame.ID <= protocol::ID_OPEN_CLOSE ||
           (frame.ID >= protocol::ID_DTU_FIRST && frame.ID <= protocol::ID_DTU_LAST) ||
           (frame.ID >= protocol::ID_DEBUG_FIRST && frame.ID <= protocol::ID_DEBUG_LAST);
}

DeviceBehaviour::DeviceBehaviour(std::uint8_t type, const protocol::SettingsSections& parameters,
                                 RecordStorage* storage, std::int64_t startUs)
    : storage_(storage) {
    const std::optional<behaviour::DeviceRole> role = behaviour::RoleFromDeviceType(type);
    if (!role) {
        return;
    }
    model_.emplace(*role, parameters);
    if (storage_ != nullptr && *role == behaviour::DeviceRole::Recorder) {
        storage_->StartRecording(parameters.sys);
    }
    if (storage_ != nullptr && *role == behaviour::DeviceRole::Replayer) {
        player_.emplace(model_->StartReplay(
            [storage](const std::string& name) { return storage->Open(name); }, startUs));
        nextReplayed_ = player_->Next();
    }
}

void DeviceBehaviour::Receive(const protocol::TimedFrame& frame,
                              std::vector<protocol::TimedFrame>& send) {
    if (!model_) {
        return;
    }
    if (model_->Role() != behaviour::DeviceRole::Recorder) {
        model_->Receive(frame, send);
        return;
    }
    recorded_.clear();
    model_->Receive(frame, recorded_);
    for (const protocol::TimedFrame& kept : recorded_) {
        if (storage_ != nullptr) {
            storage_->Append(kept);
        }
    }
}

void DeviceBehaviour::Due(std::int64_t nowUs, std::vector<protocol::TimedFrame>& send) {
    while (nextReplayed_ && nextReplayed_->timeUs <= nowUs) {
        send.push_back(*nextReplayed_);
        nextReplayed_ = player_->Next();
    }
}

std::optional<behaviour::ModelReport> DeviceBehaviour::Report() const {
    if (!model_) {
        return std::nullopt;
    }
    return model_->Report(player_ ? &*player_ : nullptr);
}

}  // namespace quillon::sim
