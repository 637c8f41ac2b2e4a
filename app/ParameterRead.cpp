// The parameter read (button 1004), the storage initialisation (button 1172)
// and the decoding of everything the device sends back.
#include <cstdio>

#include "app/CQuillonDlg.hpp"
#include "app/MainWindowIds.hpp"
#include "protocol/DebugFrames.hpp"
#include "protocol/IdentityFrames.hpp"
#include "protocol/ParameterFrames.hpp"

namespace quillon::app {
namespace {

constexpr std::uint32_t REFERENCE_SINGLE_FRAME = 3;
/// Shown once the storage request is out; the device's reply closes it.
constexpr const char* STORAGE_INIT_WAIT = "初次初始化大概需要1分钟时间，请耐心等待!";

}  // namespace

std::string SerialText(const std::array<std::uint8_t, 12>& serial) {
    std::string text;
    char digits[3];
    for (std::uint8_t byte : serial) {
        std::snprintf(digits, sizeof(digits), "%02X", byte);
        text += digits;
    }
    return text;
}

std::string DeviceTypeName(std::uint8_t code) {
    switch (code) {
        case 1:
            return "CAN记录仪";
        case 2:
            return "CAN网桥";
        case 3:
            return "CAN回放仪";
        case 4:
            return "升级模式（通用）";
        case 6:
            return "升级模式（生产）";
        case 7:
            return "DTU模式";
        default:
            return "未知设备";
    }
}

bool CQuillonDlg::ReadParameters() {
    if (!link_.IsRunning()) {
        Warn(ui::CONNECT_FIRST);
        return false;
    }
    // Pending before the frame leaves, so the receive thread reports its
    // passes from the first answer on. A refused request changes nothing: no
    // read is left pending that never went out, and a read in progress goes
    // on with what it has tallied.
    const bool wasPending = readPending_.exchange(true);
    CanFrameRecord request = protocol::BuildReadRequest();
    link_.SetReference(REFERENCE_SINGLE_FRAME);
    const std::uint64_t sentMs = services_.clock.MonotonicMs();
    if (!link_.Send({&request, 1})) {
        readPending_ = wasPending;
        Warn("发送读取命令失败!");
        return false;
    }
    // Replies are decoded on this thread, so none is tallied before this.
    readJudge_.Start(sentMs, readNoAnswerMs_);
    return true;
}

void CQuillonDlg::ReceivePassEnded(std::size_t framesReceived) {
    if (const auto verdict = readJudge_.PassEnded(framesReceived, services_.clock.MonotonicMs())) {
        ReportRead(*verdict);
    }
}

void CQuillonDlg::ReportRead(ReadVerdict verdict) {
    readPending_ = false;
    lastVerdict_ = verdict;
    ++readsJudged_;
    if (verdict == ReadVerdict::NoAnswer) {
        Warn(READ_NO_ANSWER);
        return;
    }
    // Frames that came after the notice are shown too.
    RefreshPages();
    if (verdict == ReadVerdict::Complete) {
        MessageBox(READ_SUCCEEDED, CAPTION_NOTICE, ui::MB_ICONQUESTION);
    } else {
        Warn(READ_INCOMPLETE);
    }
}

CommandResult CQuillonDlg::InitStorage() {
    if (!link_.IsRunning()) {
        return Warn(ui::CONNECT_FIRST);
    }
    if (MessageBox("确认初始化？", GetHost().ApplicationTitle(),
                   ui::MB_YESNO | ui::MB_ICONQUESTION) != ui::IDYES) {
        return {};
    }
    // Pending before the frame leaves: the reply is answered on the receive
    // thread and may come before the send returns. A refused send leaves the
    // flag as it was before this request.
    bool wasPending = false;
    {
        std::lock_guard lock(storageMutex_);
        wasPending = storageInitPending_.exchange(true);
        storageReply_.reset();
    }
    CanFrameRecord request = protocol::BuildStorageInitRequest();
    link_.SetReference(REFERENCE_SINGLE_FRAME);
    if (!link_.SendEnciphered({&request, 1})) {
        storageInitPending_ = wasPending;
        return Warn(SEND_FAILED);
    }
    return Warn(STORAGE_INIT_WAIT, true);
}

std::optional<CommandResult> CQuillonDlg::StorageReply() const {
    std::lock_guard lock(storageMutex_);
    return storageReply_;
}

void CQuillonDlg::HandleFrame(std::uint32_t channel, const CanFrameRecord& received) {
    CanFrameRecord frame = received;
    frameCipher_.DecipherPayload(frame.Data);
    if (protocol::IsStorageInitFrame(frame)) {
        HandleStorageReply(frame);
    } else {
        GetHost().PostTask(*this, [this, channel, frame] { DecodeFrame(channel, frame); });
    }
    ++framesHandled_;
}

void CQuillonDlg::HandleStorageReply(const CanFrameRecord& frame) {
    // Runs on the receive thread, which waits here until the box is closed.
    // The reply is kept before the flag clears: whoever sees it clear finds it.
    const CommandResult result =
        protocol::StorageInitSucceeded(frame)
            ? CommandResult{true, "初始化SD卡成功", "恭喜", ui::MB_ICONQUESTION, {}}
            : CommandResult{false, "初始化SD卡失败", CAPTION_WARNING, ui::MB_ICONQUESTION, {}};
    {
        std::lock_guard lock(storageMutex_);
        if (!storageInitPending_.exchange(false)) {
            return;
        }
        storageReply_ = result;
    }
    // Closing the result must not lead back to a box that still says to wait.
    GetHost().CloseMessageBox(this, STORAGE_INIT_WAIT);
    MessageBox(result.text, result.caption, result.style);
}

void CQuillonDlg::DecodeFrame(std::uint32_t channel, const CanFrameRecord& frame) {
    if (identifying_ && !IsIdentificationReply(frame)) {
        return;
    }
    readJudge_.Add(channel, frame, services_.clock.MonotonicMs());
    if (frame.ExternFlag != 0) {
        DecodeParameterFrame(channel, frame);
    } else if (protocol::IsDebugFrame(frame)) {
        debugPage_.AppendDeviceMessage(static_cast<int>(protocol::DebugLevel(frame)),
                                       protocol::DebugBytes(frame));
    } else {
        DecodeIdentityFrame(frame);
        if (protocol::IsCompletion(frame)) {
            ++completions_.at(channel);
        }
    }
}

void CQuillonDlg::DecodeParameterFrame(std::uint32_t channel, const CanFrameRecord& frame) {
    const bool first = channel == 0;
    protocol::DecodeParameterFrame(
        frame, {readBack_[first ? 0 : 1], first ? advanced1Page_.Record() : advanced2Page_.Record(),
                bridgePage_.Record(), replayPage_.Record()});
}

void CQuillonDlg::DecodeIdentityFrame(const CanFrameRecord& frame) {
    switch (frame.ID) {
        case protocol::ID_COMPLETION:
            if (protocol::IsCompletion(frame)) {
                PostMessage(WM_APP_PARAMS_READY);
            }
            break;
        case protocol::ID_SERIAL_LOW:
            identity_.identityChanged = false;
            StoreSerialBytes(protocol::DecodeSerialLowFrame(frame), 0);
            break;
        case protocol::ID_SERIAL_HIGH:
            DecodeSerialHigh(frame);
            break;
        case protocol::ID_VERSIONS: {
            const protocol::Versions versions = protocol::DecodeVersionsFrame(frame);
            identity_.hardwareVersion = versions.hardware;
            identity_.firmwareVersion = versions.firmware;
            ShowVersions();
            ++versionReplies_;
            break;
        }
        case protocol::ID_SYSTEM:
            StoreSystemReply(frame);
            break;
        default:
            break;
    }
}

// Stores the serial bytes that differ from those held, from byte `first` on,
// and notes the change; identityChanged is never cleared here.
void CQuillonDlg::StoreSerialBytes(std::span<const std::uint8_t> bytes, std::size_t first) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (identity_.serial[first + i] != bytes[i]) {
            identity_.serial[first + i] = bytes[i];
            identity_.identityChanged = true;
        }
    }
}

void CQuillonDlg::DecodeSerialHigh(const CanFrameRecord& frame) {
    const protocol::SerialHigh high = protocol::DecodeSerialHighFrame(frame);
    StoreSerialBytes(high.serialTail, identity_.serial.size() - high.serialTail.size());
    const std::uint8_t type = high.deviceType;
    const std::string serial = SerialText(identity_.serial);
    const std::string typeName = DeviceTypeName(type);
    // Copies: the page replaces the texts these would otherwise refer to.
    const std::string hardware = sysPage_.HardwareVersionText();
    const std::string firmware = sysPage_.FirmwareVersionText();
    sysPage_.SetIdentityTexts(hardware, firmware, serial, typeName);
    if (type != identity_.deviceType) {
        identity_.identityChanged = true;
        if (type > 3 && type != 7) {
            ShowWindow(IDC_TAB, false);
        }
    }
    identity_.deviceType = type;
    if (identity_.identityChanged) {
        SetDlgItemText(IDC_DEVICE_INFO, typeName + "，设备序号：" + serial);
        PostMessage(WM_APP_PARAMS_READY);
    }
}

}  // namespace quillon::app

namespace quillon::app {

void CQuillonDlg::ShowVersions() {
    // Copies: the page replaces the texts these would otherwise refer to.
    const std::string serial = sysPage_.SerialText();
    const std::string typeName = sysPage_.DeviceTypeText();
    sysPage_.SetIdentityTexts("Ver_" + std::to_string(identity_.hardwareVersion),
                              "Ver_" + std::to_string(identity_.firmwareVersion), serial, typeName);
}

void CQuillonDlg::StoreSystemReply(const CanFrameRecord& frame) {
    // Stored, not only shown: the completion's refresh redraws the page from
    // SysPara, and a later write sends SysPara. sysOption is not in the reply.
    const protocol::SystemReply reply = protocol::DecodeSystemReply(frame);
    record_.sys.fileSizeMB = reply.fileSizeMB;
    record_.sys.cyclicOverwrite = reply.cyclicOverwrite != 0 ? 1 : 0;
    record_.sys.firstFrameTimeZero = reply.firstFrameTimeZero != 0 ? 1 : 0;
    record_.sys.errorProofing =
        reply.errorProofing != 0 ? pages::CSysParaDlg::ERROR_PROOFING_ON : 0;
    sysPage_.ShowRecord(record_.sys);
}

}  // namespace quillon::app
