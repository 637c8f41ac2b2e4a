#include "app/CAdapterDlg.hpp"

#include <algorithm>
#include <optional>

#include "app/AdapterListingText.hpp"
#include "app/MainWindowIds.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/system/InputFile.hpp"
#include "platform/system/Utf8Path.hpp"
#include "protocol/SaveFile.hpp"

namespace quillon::app {
namespace {

constexpr const char* NO_CHOICE = "请选择适配器!";
constexpr const char* BAD_CHARACTERS = "适配器设置不能含有控制字符!";
constexpr const char* SAVE_FAILED = "适配器设置已用于下次连接，但未能保存：";
constexpr const char* UNAVAILABLE = "不可用";
constexpr const char* UNTESTED = "未测试";

// Column widths in pixels: the backend's fits "socketcan", the reason's
// takes the rest of the list; a reason wider still shows whole in a tooltip.
constexpr int BACKEND_COLUMN_WIDTH = 80;
constexpr int SPEC_COLUMN_WIDTH = 170;
constexpr int TEXT_COLUMN_WIDTH = 460;

std::string SpecCell(const kelvix::InterfaceListing& listing) {
    if (listing.Available()) {
        return listing.spec;
    }
    if (!listing.untested) {
        return UNAVAILABLE;
    }
    return listing.spec.empty() ? UNTESTED : listing.spec + "（" + UNTESTED + "）";
}

std::string TextCell(const kelvix::InterfaceListing& listing) {
    std::string text = AdapterTextForWindow(listing.description);
    if (!listing.Available()) {
        text += "：" + AdapterTextForWindow(listing.unavailableReason);
    }
    return text;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool HasControlCharacters(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// What a user keeps below the setting in kelvix.conf (comments, other
// settings) is copied back whole, so a file too long to copy is not rewritten.
constexpr std::size_t CONF_MAX_BYTES = 64 * 1024;

// The file's lines after the first, kept as they are; none when there is no
// file or it cannot be read (a FIFO or a device is not read); nothing when
// the file is too long to keep whole.
std::optional<std::string> LinesAfterFirst(const std::filesystem::path& file) {
    const auto read = sys::ReadInputFile(file, CONF_MAX_BYTES);
    if (read.longer) {
        return std::nullopt;
    }
    const std::string text(read.bytes.begin(), read.bytes.end());
    const auto end = text.find('\n');
    return end == std::string::npos ? std::string() : text.substr(end + 1);
}

protocol::SaveResult SaveFirstLine(const std::filesystem::path& file, const std::string& line) {
    const auto rest = LinesAfterFirst(file);
    if (!rest) {
        return protocol::SaveResult::Failure(file, sys::PathToUtf8(file) + " is longer than " +
                                                       std::to_string(CONF_MAX_BYTES) +
                                                       " bytes; left as it is");
    }
    const std::string text = line + "\n" + *rest;
    return protocol::SaveFile(
        file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace

CAdapterDlg::CAdapterDlg(ui::Host& host, std::vector<kelvix::InterfaceListing> listings,
                         std::string current, AdapterChoice choice)
    : ui::Dialog(AdapterDlgTemplate(), host),
      listings_(std::move(listings)),
      current_(std::move(current)),
      choice_(std::move(choice)) {
    OnCommand(ui::IDOK, [this] { OnOk(); });
    OnCommand(ui::IDCANCEL, [this] { EndDialog(ui::IDCANCEL); });
    OnNotify(IDC_ADAPTER_LIST, ui::LVN_ITEMCHANGED, [this] {
        OnRowSelected();
        return 0;
    });
}

bool CAdapterDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    InsertColumn(IDC_ADAPTER_LIST, 0, "后端", BACKEND_COLUMN_WIDTH);
    InsertColumn(IDC_ADAPTER_LIST, 1, "适配器设置", SPEC_COLUMN_WIDTH);
    InsertColumn(IDC_ADAPTER_LIST, 2, "说明", TEXT_COLUMN_WIDTH);
    FillList();
    SetDlgItemText(IDC_ADAPTER_SPEC, current_);
    return true;
}

void CAdapterDlg::FillList() {
    DeleteAllItems(IDC_ADAPTER_LIST);
    for (std::size_t i = 0; i < listings_.size(); ++i) {
        const auto& listing = listings_[i];
        const int row = InsertItem(IDC_ADAPTER_LIST, static_cast<int>(i), listing.backend);
        SetItemText(IDC_ADAPTER_LIST, row, 1, SpecCell(listing));
        SetItemText(IDC_ADAPTER_LIST, row, 2, TextCell(listing));
    }
}

// A row with a setting to try (available, or untested with one) puts it into
// the edit; an unavailable one changes nothing.
void CAdapterDlg::OnRowSelected() {
    const auto rows = GetSelectedRows(IDC_ADAPTER_LIST);
    if (rows.size() != 1) {
        return;
    }
    const auto& listing = listings_.at(static_cast<std::size_t>(rows.front()));
    if (listing.Available() || (listing.untested && !listing.spec.empty())) {
        SetDlgItemText(IDC_ADAPTER_SPEC, listing.spec);
    }
}

void CAdapterDlg::OnOk() {
    const std::string spec = Trimmed(GetDlgItemText(IDC_ADAPTER_SPEC));
    if (spec.empty()) {
        MessageBox(NO_CHOICE, CAPTION_WARNING, ui::MB_ICONQUESTION);
        return;
    }
    if (HasControlCharacters(spec)) {
        MessageBox(BAD_CHARACTERS, CAPTION_WARNING, ui::MB_ICONQUESTION);
        return;
    }
    choice_.use(spec);
    if (const auto saved = choice_.save(spec); !saved) {
        MessageBox(std::string(SAVE_FAILED) + saved.message, CAPTION_WARNING, ui::MB_ICONQUESTION);
    }
    EndDialog(ui::IDOK);
}

AdapterChoice ProgramAdapterChoice(const std::filesystem::path& settingsDirectory) {
    return {[](const std::string& spec) { kelvix::SetAdapterSpecOverride(spec); },
            [settingsDirectory](const std::string& spec) {
                return SaveAdapterChoice(spec, settingsDirectory / kelvix::ADAPTER_CONF_NAME,
                                         kelvix::UserAdapterConfPath());
            }};
}

protocol::SaveResult SaveAdapterChoice(const std::string& spec,
                                       const std::filesystem::path& programConf,
                                       const std::filesystem::path& userConf) {
    const auto beside = SaveFirstLine(programConf, spec);
    if (beside || userConf.empty()) {
        return beside;
    }
    std::error_code error;
    std::filesystem::create_directories(userConf.parent_path(), error);
    const auto user = SaveFirstLine(userConf, spec);
    if (user) {
        return user;
    }
    return protocol::SaveResult::Failure(userConf, beside.message + "; " + user.message);
}

}  // namespace quillon::app
