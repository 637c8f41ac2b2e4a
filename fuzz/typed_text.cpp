// What a user types: hexadecimal packet texts and identifiers, and every
// page's fields with their whole-number and range rules. Each page gets its
// edits filled with fuzzer text, its lists and boxes set, then one of its
// buttons pressed and its fields taken into the record. The hexadecimal
// conversions must round-trip what they produce.
#include <cstdlib>

#include "fuzz/FuzzInput.hpp"
#include "fuzz/FuzzWindow.hpp"
#include "pages/HexIdentifier.hpp"
#include "pages/HexText.hpp"

using namespace quillon;

namespace {

void CheckHexText(const std::string& text) {
    const auto bytes = pages::HexTextToBytes(text);
    const std::string shown = pages::BytesToHexText(bytes);
    if (pages::HexTextToBytes(shown) != bytes) {
        std::abort();
    }
    (void)pages::ParseHexText(text);
}

void FillControls(ui::Dialog& page, fuzz::FuzzInput& input) {
    for (const auto& control : page.Template().controls) {
        switch (control.kind) {
            case ui::ControlKind::Edit:
                page.SetDlgItemText(control.id, input.Text(40));
                break;
            case ui::ControlKind::ComboBox:
                page.SetCurSel(control.id, static_cast<int>(input.Byte() % 24) - 1);
                break;
            case ui::ControlKind::CheckBox:
            case ui::ControlKind::RadioButton:
                page.CheckDlgButton(control.id, input.Byte() & 1);
                break;
            default:
                break;
        }
    }
}

void PressOneButton(ui::Dialog& page, fuzz::FuzzInput& input) {
    std::vector<int> buttons;
    for (const auto& control : page.Template().controls) {
        if (control.kind == ui::ControlKind::PushButton) {
            buttons.push_back(control.id);
        }
    }
    if (!buttons.empty()) {
        page.Click(buttons[input.Byte() % buttons.size()]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::FuzzWindow fuzzWindow;
    fuzz::FuzzInput input(data, size);
    CheckHexText(input.Text(255));
    while (!input.Empty()) {
        ui::Dialog& page = fuzzWindow.window.Page(input.Byte() % app::CQuillonDlg::PAGE_COUNT);
        FillControls(page, input);
        PressOneButton(page, input);
        page.UpdateData(true);
    }
    fuzzWindow.host.PumpMessages();
    fuzzWindow.ForgetHistory();
    return 0;
}
