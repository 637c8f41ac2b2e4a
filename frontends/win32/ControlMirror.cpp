#include "frontends/win32/ControlMirror.hpp"

#include "frontends/win32/SystemHeaders.hpp"

#include <algorithm>

#include "frontends/win32/Utf16.hpp"

namespace quillon::win32 {

namespace {

/// The edit control's own limit when none is set.
constexpr int UNLIMITED_EDIT_TEXT = 0x7FFFFFFE;

void SetText(HWND window, const std::string& text) {
    if (WindowText(window) != text) {
        SetWindowTextW(window, WideText(text).c_str());
    }
}

void SetColumns(HWND list, const std::vector<ui::ListColumn>& columns) {
    while (SendMessageW(list, LVM_DELETECOLUMN, 0, 0) != FALSE) {
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        std::wstring heading = WideText(columns[i].heading);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = heading.data();
        column.cx = columns[i].width;
        column.iSubItem = static_cast<int>(i);
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void SetCell(HWND list, int row, int column, const std::string& text) {
    std::wstring wide = WideText(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void SetRow(HWND list, int row, const std::vector<std::string>& cells) {
    for (std::size_t column = 0; column < cells.size(); ++column) {
        SetCell(list, row, static_cast<int>(column), cells[column]);
    }
}

void InsertRow(HWND list, int row) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void SelectRow(HWND list, int row, bool selected) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void AppendRun(HWND display, const ui::TextRun& run) {
    const LRESULT end = GetWindowTextLengthW(display);
    SendMessageW(display, EM_SETSEL, static_cast<WPARAM>(end), end);
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR;
    format.crTextColor = run.colour;
    if (run.heightTwips > 0) {
        format.dwMask |= CFM_SIZE;
        format.yHeight = run.heightTwips;
    }
    SendMessageW(display, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    SendMessageW(display, EM_REPLACESEL, FALSE,
                 reinterpret_cast<LPARAM>(WideText(run.text).c_str()));
}

}  // namespace

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return Utf8Text(text);
}

void ControlMirror::Apply(const ui::ControlState& state) {
    switch (kind_) {
        case ui::ControlKind::PushButton:
        case ui::ControlKind::Static:
        case ui::ControlKind::GroupBox:
            SetText(control_, state.text);
            break;
        case ui::ControlKind::CheckBox:
        case ui::ControlKind::RadioButton:
            SetText(control_, state.text);
            SendMessageW(control_, BM_SETCHECK, state.check == BST_CHECKED ? BST_CHECKED : 0, 0);
            break;
        case ui::ControlKind::Edit:
            ApplyEdit(state);
            break;
        case ui::ControlKind::ComboBox:
            ApplyItems(state);
            break;
        case ui::ControlKind::ListView:
            ApplyList(state);
            break;
        case ui::ControlKind::Slider:
        case ui::ControlKind::ProgressBar:
            ApplyRange(state);
            break;
        case ui::ControlKind::RichEdit:
            ApplyRuns(state);
            break;
        case ui::ControlKind::TabControl:
            ApplyTabs(state);
            break;
        case ui::ControlKind::Icon:
            break;
    }
    if ((IsWindowEnabled(control_) != FALSE) != state.enabled) {
        EnableWindow(control_, state.enabled ? TRUE : FALSE);
    }
    const bool visible = (GetWindowLongW(control_, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible != state.visible) {
        ShowWindow(control_, state.visible ? SW_SHOWNA : SW_HIDE);
    }
    shown_ = state;
}

void ControlMirror::ApplyEdit(const ui::ControlState& state) {
    // The limit binds typing only; text the program sets is shown whole.
    const int textLength = static_cast<int>(WideText(state.text).size());
    const int limit =
        state.textLimit > 0 ? std::max(state.textLimit, textLength) : UNLIMITED_EDIT_TEXT;
    SendMessageW(control_, EM_SETLIMITTEXT, static_cast<WPARAM>(limit), 0);
    SetText(control_, state.text);
}

void ControlMirror::ApplyItems(const ui::ControlState& state) {
    if (!shown_ || shown_->items != state.items) {
        SendMessageW(control_, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : state.items) {
            SendMessageW(control_, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(WideText(item).c_str()));
        }
    }
    SendMessageW(control_, CB_SETCURSEL, static_cast<WPARAM>(state.selection), 0);
}

void ControlMirror::ApplyTabs(const ui::ControlState& state) {
    if (!shown_ || shown_->items != state.items) {
        SendMessageW(control_, TCM_DELETEALLITEMS, 0, 0);
        for (std::size_t i = 0; i < state.items.size(); ++i) {
            std::wstring caption = WideText(state.items[i]);
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = caption.data();
            SendMessageW(control_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageW(control_, TCM_SETCURSEL, static_cast<WPARAM>(state.selection), 0);
}

void ControlMirror::ApplyList(const ui::ControlState& state) {
    if (!shown_ || shown_->columns.size() != state.columns.size() ||
        !std::equal(state.columns.begin(), state.columns.end(), shown_->columns.begin(),
                    [](const ui::ListColumn& a, const ui::ListColumn& b) {
                        return a.heading == b.heading && a.width == b.width;
                    })) {
        SetColumns(control_, state.columns);
    }
    const int wanted = static_cast<int>(state.rows.size());
    int count = static_cast<int>(SendMessageW(control_, LVM_GETITEMCOUNT, 0, 0));
    while (count > wanted) {
        SendMessageW(control_, LVM_DELETEITEM, static_cast<WPARAM>(--count), 0);
    }
    for (int row = 0; row < wanted; ++row) {
        const bool known = shown_ && row < count &&
                           static_cast<std::size_t>(row) < shown_->rows.size() &&
                           shown_->rows[static_cast<std::size_t>(row)] ==
                               state.rows[static_cast<std::size_t>(row)];
        if (row >= count) {
            InsertRow(control_, row);
        }
        if (!known) {
            SetRow(control_, row, state.rows[static_cast<std::size_t>(row)]);
        }
    }
    for (int row = 0; row < wanted; ++row) {
        SelectRow(control_, row, state.selectedRows.count(row) != 0);
    }
}

void ControlMirror::ApplyRange(const ui::ControlState& state) {
    if (kind_ == ui::ControlKind::Slider) {
        SendMessageW(control_, TBM_SETRANGEMIN, FALSE, state.rangeMin);
        SendMessageW(control_, TBM_SETRANGEMAX, FALSE, state.rangeMax);
        SendMessageW(control_, TBM_SETPOS, TRUE, state.position);
        return;
    }
    SendMessageW(control_, PBM_SETRANGE32, static_cast<WPARAM>(state.rangeMin), state.rangeMax);
    SendMessageW(control_, PBM_SETPOS, static_cast<WPARAM>(state.position), 0);
}

void ControlMirror::ApplyRuns(const ui::ControlState& state) {
    const std::vector<ui::TextRun>* before = shown_ ? &shown_->runs : nullptr;
    const bool extends = before != nullptr && before->size() <= state.runs.size() &&
                         std::equal(before->begin(), before->end(), state.runs.begin());
    std::size_t first = extends ? before->size() : 0;
    if (!extends) {
        SetWindowTextW(control_, L"");
    }
    for (std::size_t i = first; i < state.runs.size(); ++i) {
        AppendRun(control_, state.runs[i]);
    }
    if (first < state.runs.size()) {
        SendMessageW(control_, WM_VSCROLL, SB_BOTTOM, 0);
    }
}

}  // namespace quillon::win32
