#include "UpgradeTestWindow.hpp"

#include <fstream>
#include <iterator>

#include "upgrade/FirmwareUpgrade.hpp"
#include "upgrade/UpgradeControls.hpp"
#include "upgrade/UpgradeModeEntry.hpp"

namespace quillon::test {
namespace {

using ui::ControlKind;

ui::ControlTemplate Control(int id, ControlKind kind, const char* text) {
    return ui::ControlTemplate{id, kind, text, {}, {}, true, true, ui::STYLE_NONE};
}

const ui::DialogTemplate& WindowTemplate() {
    static const ui::DialogTemplate dialogTemplate{
        .number = 102,
        .caption = "Quillon",
        .controls = {Control(upgrade::IDC_CONNECT, ControlKind::PushButton, "连接设备"),
                     Control(upgrade::IDC_UPGRADE, ControlKind::PushButton, "升级固件"),
                     Control(upgrade::IDC_ENTER_UPGRADE, ControlKind::PushButton, "进入升级模式"),
                     Control(upgrade::IDC_PROGRESS, ControlKind::ProgressBar, ""),
                     Control(upgrade::IDC_STATUS, ControlKind::Static, "     状态栏"),
                     Control(upgrade::IDC_UPGRADE_MODE, ControlKind::Static, "升级模式")}};
    return dialogTemplate;
}

}  // namespace

UpgradeTestWindow::UpgradeTestWindow(ui::Host& host, sys::SystemServices& services)
    : ui::Dialog(WindowTemplate(), host),
      services_(services),
      observer_([this](const upgrade::UpgradeProgress& progress) {
          std::lock_guard lock(mutex_);
          events_.push_back(progress);
      }) {
    OnCommand(upgrade::IDC_UPGRADE, [this] {
        lastResult_ = upgrade::UpgradeFirmware(*this, link, services_, &observer_);
    });
    OnCommand(upgrade::IDC_ENTER_UPGRADE,
              [this] { lastResult_ = upgrade::EnterUpgradeMode(*this, link, services_); });
    AddObserver(this);
}

UpgradeTestWindow::~UpgradeTestWindow() {
    RemoveObserver(this);
}

std::vector<int> UpgradeTestWindow::Progress() const {
    std::lock_guard lock(mutex_);
    return progress_;
}

std::vector<upgrade::UpgradeProgress> UpgradeTestWindow::Events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

void UpgradeTestWindow::OnControlChanged(const ui::Dialog& dialog, int controlId) {
    if (controlId == upgrade::IDC_PROGRESS) {
        std::lock_guard lock(mutex_);
        progress_.push_back(dialog.GetPos(controlId));
    }
}

std::filesystem::path WriteImage(const std::filesystem::path& path, std::size_t size) {
    std::ofstream out(path, std::ios::binary);
    for (std::size_t i = 0; i < size; ++i) {
        out.put(static_cast<char>((i * 7 + i / 251) & 0xFF));
    }
    return path;
}

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace quillon::test
