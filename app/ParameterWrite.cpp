// The parameter write of the main window (button 1003): the record goes out
// section by section; the first refused send or failed check ends it with
// its message, and only a fully accepted closing send reports success.
#include <algorithm>

#include "app/CQuillonDlg.hpp"
#include "app/MainWindowIds.hpp"
#include "dtu/WriteDtuParams.hpp"
#include "platform/system/ReplaceFile.hpp"
#include "protocol/Capacities.hpp"
#include "protocol/ParameterFrames.hpp"

namespace quillon::app {
namespace {

constexpr std::uint32_t REFERENCE_CHANNEL_BLOCK = 30;
constexpr std::uint32_t REFERENCE_FILTER_BLOCK = 3;

}  // namespace

std::string CQuillonDlg::SettingsSaveProblem() const {
    for (const auto& file :
         {dtuBasicPage_.FilePath(), dtuAdvancedPage_.FilePath(), SettingsPath()}) {
        if (std::string problem = sys::ReplaceFileProblem(file); !problem.empty()) {
            return problem;
        }
    }
    return {};
}

CommandResult CQuillonDlg::WriteParameters() {
    if (const std::string problem = SettingsSaveProblem(); !problem.empty()) {
        CommandResult refused{false, {}, {}, 0, STATUS_CANNOT_SAVE + problem};
        SetDlgItemText(IDC_STATUS, refused.status);
        return refused;
    }
    const bool dtuSent = dtu::WriteDtuParams(dtuBasicPage_, dtuAdvancedPage_, link_);
    CommandResult result = SendParameters();
    // The DTU write told its own failure in its box; the command failed all the same.
    result.succeeded = result.succeeded && dtuSent;
    return result;
}

CommandResult CQuillonDlg::SendParameters() {
    // The system page is taken before the save (which takes the CAN pages
    // itself), so the file holds what this write sends, connected or not.
    sysPage_.UpdateData(true);
    sysPage_.StoreToRecord(record_.sys);
    SaveSettings();
    ShowSaveFailures();
    if (!link_.IsRunning()) {
        return Warn(ui::CONNECT_FIRST);
    }
    // Taken again as the write always has: a bad BTR text is reported here
    // too, and the record keeps what the save stored.
    can1Page_.StoreToRecord();
    can2Page_.StoreToRecord();

    // Each step sends its part, or names why the write stops there.
    using Step = const char* (CQuillonDlg::*)();
    for (const Step step : {&CQuillonDlg::WriteOpeningFrame, &CQuillonDlg::WriteChannelBlocks,
                            &CQuillonDlg::WriteFilterBlocks, &CQuillonDlg::WriteBridgeBlock,
                            &CQuillonDlg::WriteReplayBlock, &CQuillonDlg::WriteClosingFrames}) {
        if (const char* failure = (this->*step)()) {
            return Warn(failure);
        }
    }
    CommandResult result = Warn(WRITE_SUCCEEDED, true);
    ShowRuleCountCuts(result);
    return result;
}

void CQuillonDlg::ShowRuleCountCuts(CommandResult& result) {
    std::string text;
    for (const std::string& cut : RuleCountCuts()) {
        text += (text.empty() ? "" : "；") + cut;
    }
    // A save that failed is the graver news; the status line keeps it.
    if (!text.empty() && SaveFailures().empty()) {
        result.status = text;
        SetDlgItemText(IDC_STATUS, text);
    }
}

const char* CQuillonDlg::Send(std::span<CanFrameRecord> frames) {
    return link_.SendEnciphered(frames) ? nullptr : SEND_FAILED;
}

const char* CQuillonDlg::WriteOpeningFrame() {
    CanFrameRecord opening = protocol::BuildOpeningFrame();
    return Send({&opening, 1});
}

const char* CQuillonDlg::WriteChannelBlocks() {
    const std::array<const protocol::CanPara*, 2> channels = {&can1Page_.Record(),
                                                              &can2Page_.Record()};
    for (std::uint32_t c = 0; c < 2; ++c) {
        link_.SetCanIndex(c);
        auto block = protocol::BuildChannelBlock(*channels[c], identity_.firmwareVersion);
        link_.SetReference(REFERENCE_CHANNEL_BLOCK);
        if (const char* failure = Send(block)) {
            return failure;
        }
    }
    link_.PauseMs(1);
    return nullptr;
}

const char* CQuillonDlg::WriteFilterBlocks() {
    const std::array<protocol::HardFilterPara*, 2> sections = {&advanced1Page_.Record(),
                                                               &advanced2Page_.Record()};
    for (std::uint32_t c = 0; c < 2; ++c) {
        link_.SetCanIndex(c);
        protocol::HardFilterPara& filters = *sections[c];
        // The header announces the count as stored; only as many filters as
        // the table holds follow it, and the stored count is clamped.
        const CanFrameRecord header = protocol::BuildHardFilterBlock(filters).front();
        if (filters.enable != 0 && filters.filterCount == 0) {
            return "启用高级滤波，至少需要设置一个滤波器!";
        }
        filters.filterCount =
            std::min<std::uint8_t>(filters.filterCount, protocol::MAX_HARD_FILTERS);
        auto block = protocol::BuildHardFilterBlock(filters);
        block.front() = header;
        link_.SetReference(REFERENCE_FILTER_BLOCK);
        if (const char* failure = Send(block)) {
            return failure;
        }
    }
    return nullptr;
}

const char* CQuillonDlg::WriteBridgeBlock() {
    const protocol::BridgePara& bridge = bridgePage_.Record();
    if (bridge.ruleCount > protocol::MAX_BRIDGE_RULES) {
        return "写入参数失败，桥转换规则数太多!";
    }
    CanFrameRecord header = protocol::BuildBridgeHeader(bridge);
    if (const char* failure = Send({&header, 1})) {
        return failure;
    }
    for (std::size_t k = 0; k < bridge.ruleCount; ++k) {
        auto rule = protocol::BuildBridgeRule(bridge.rules[k], k);
        if (const char* failure = Send(rule)) {
            return failure;
        }
    }
    link_.PauseMs(1);
    return nullptr;
}

const char* CQuillonDlg::WriteReplayBlock() {
    const protocol::ReplayPara& replay = replayPage_.Record();
    if (replay.ruleCount > protocol::MAX_REPLAY_RULES) {
        return "写入参数失败，回放文件数量太多!";
    }
    CanFrameRecord header = protocol::BuildReplayHeader(replay);
    if (const char* failure = Send({&header, 1})) {
        return failure;
    }
    for (std::size_t k = 0; k < replay.ruleCount; ++k) {
        auto rule = protocol::BuildReplayRule(replay.rules[k], k);
        if (const char* failure = Send(rule)) {
            return failure;
        }
    }
    return nullptr;
}

const char* CQuillonDlg::WriteClosingFrames() {
    const CanFrameRecord systemFrame = protocol::BuildSystemFrame(record_.sys);
    const sys::LocalTime now = services_.clock.Now();
    if (now.year < 2000) {
        return "系统时间出错!";
    }
    const auto commands = protocol::BuildClosingCommands();
    std::array<CanFrameRecord, 4> closing = {systemFrame, protocol::BuildTimeFrame(now),
                                             commands[0], commands[1]};
    return Send(closing);
}

}  // namespace quillon::app
