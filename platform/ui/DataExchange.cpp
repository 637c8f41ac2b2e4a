#include "platform/ui/DataExchange.hpp"

#include <cctype>
#include <charconv>
#include <climits>

#include "platform/ui/Dialog.hpp"
#include "platform/ui/Host.hpp"

namespace quillon::ui {
namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

// Parses a whole decimal number that fills the (trimmed) text.
template <typename T>
bool ParseWhole(std::string_view text, T& value, bool allowSign) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty() || (!allowSign && text.front() == '-')) {
        return false;
    }
    T parsed{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size()) {
        return false;
    }
    value = parsed;
    return true;
}

// Radio buttons of the group that starts at `firstId`, in template order.
std::vector<int> RadioGroup(const Dialog& dialog, int firstId) {
    std::vector<int> ids;
    const auto& controls = dialog.Template().controls;
    bool inGroup = false;
    for (const auto& control : controls) {
        if (control.id == firstId) {
            inGroup = true;
        } else if (inGroup &&
                   (control.kind != ControlKind::RadioButton || (control.style & STYLE_GROUP))) {
            break;
        }
        if (inGroup) {
            ids.push_back(control.id);
        }
    }
    return ids;
}

}  // namespace

std::string RangeComplaint(long long minimum, long long maximum) {
    return "请输入一个介于 " + std::to_string(minimum) + " 和 " + std::to_string(maximum) +
           " 之间的整数。";
}

DataExchange::DataExchange(Dialog& dialog, bool saveAndValidate)
    : dialog_(dialog), saving_(saveAndValidate) {}

void DataExchange::Fail(std::string_view complaint) {
    failed_ = true;
    auto& host = dialog_.GetHost();
    dialog_.MessageBox(complaint, host.ApplicationTitle(), MB_OK | MB_ICONEXCLAMATION);
}

void DataExchange::Text(int id, std::string& value) {
    if (Skip()) {
        return;
    }
    if (saving_) {
        value = dialog_.GetDlgItemText(id);
    } else {
        dialog_.SetDlgItemText(id, value);
    }
}

void DataExchange::Int(int id, int& value) {
    if (Skip()) {
        return;
    }
    if (!saving_) {
        dialog_.SetDlgItemText(id, std::to_string(value));
    } else if (!ParseWhole(dialog_.GetDlgItemText(id), value, true)) {
        Fail(PARSE_INT_COMPLAINT);
    }
}

void DataExchange::UInt(int id, unsigned& value) {
    if (Skip()) {
        return;
    }
    if (!saving_) {
        dialog_.SetDlgItemText(id, std::to_string(value));
    } else if (!ParseWhole(dialog_.GetDlgItemText(id), value, false)) {
        Fail(PARSE_UINT_COMPLAINT);
    }
}

void DataExchange::IntRange(int /*id*/, int value, int minimum, int maximum) {
    if (Skip() || !saving_) {
        return;
    }
    if (value < minimum || value > maximum) {
        Fail(RangeComplaint(minimum, maximum));
    }
}

void DataExchange::Check(int id, int& value) {
    if (Skip()) {
        return;
    }
    if (saving_) {
        value = dialog_.IsDlgButtonChecked(id);
    } else {
        dialog_.CheckDlgButton(id, value);
    }
}

void DataExchange::Radio(int firstId, int& value) {
    if (Skip()) {
        return;
    }
    const auto group = RadioGroup(dialog_, firstId);
    if (saving_) {
        value = -1;
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (dialog_.IsDlgButtonChecked(group[i]) == BST_CHECKED) {
                value = static_cast<int>(i);
            }
        }
        return;
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
        dialog_.CheckDlgButton(group[i],
                               static_cast<int>(i) == value ? BST_CHECKED : BST_UNCHECKED);
    }
}

void DataExchange::ComboIndex(int id, int& value) {
    if (Skip()) {
        return;
    }
    if (saving_) {
        value = dialog_.GetCurSel(id);
    } else {
        dialog_.SetCurSel(id, value);
    }
}

void DataExchange::SliderPos(int id, int& value) {
    if (Skip()) {
        return;
    }
    if (saving_) {
        value = dialog_.GetPos(id);
    } else {
        dialog_.SetPos(id, value);
    }
}

}  // namespace quillon::ui
