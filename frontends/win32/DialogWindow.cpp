#include "frontends/win32/DialogWindow.hpp"

#include "frontends/win32/SystemHeaders.hpp"

#include <vector>

namespace quillon::win32 {

namespace {

std::vector<int> SelectedRows(HWND list) {
    std::vector<int> rows;
    int row = -1;
    while ((row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                LVNI_SELECTED))) >= 0) {
        rows.push_back(row);
    }
    return rows;
}

}  // namespace

DialogWindow::DialogWindow(ui::Dialog& dialog, DialogRole role, HWND parent,
                           const std::u16string& faceName, bool followDialogVisibility)
    : dialog_(dialog), followDialogVisibility_(followDialogVisibility) {
    const std::vector<std::uint8_t> bytes = TemplateBytesFor(dialog.Template(), role, faceName);
    // The template is copied by the system; the bytes need to live only for the call.
    const HWND created = CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), parent,
        &DialogWindow::Procedure, reinterpret_cast<LPARAM>(this));
    if (created == nullptr) {
        throw WindowError("the window \"" + dialog.Template().caption + "\" (template " +
                          std::to_string(dialog.Template().number) +
                          ") or one of its controls could not be created");
    }
    for (const ui::ControlTemplate& control : dialog.Template().controls) {
        if (control.id == ui::IDC_STATIC || controls_.count(control.id) != 0) {
            continue;  // unnamed statics keep their template text
        }
        HWND handle = GetDlgItem(window_, control.id);
        if (handle == nullptr) {
            throw WindowError("control " + std::to_string(control.id) + " of template " +
                              std::to_string(dialog.Template().number) + " was not created");
        }
        controls_.emplace(control.id, ControlMirror(handle, control.kind));
    }
    if (role == DialogRole::Window) {
        if (HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(PROGRAM_ICON))) {
            SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
            SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        }
    }
    dialog_.AddObserver(this);
    for (const auto& [id, mirror] : controls_) {
        Show(id);
    }
    if (followDialogVisibility_) {
        ShowWindow(window_, dialog_.IsDialogVisible() ? SW_SHOWNA : SW_HIDE);
    }
}

DialogWindow::~DialogWindow() {
    dialog_.RemoveObserver(this);
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, DWLP_USER, 0);
        DestroyWindow(window_);
    }
}

void DialogWindow::Bind(HWND window) {
    window_ = window;
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
}

INT_PTR CALLBACK DialogWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        reinterpret_cast<DialogWindow*>(lParam)->Bind(window);
        return FALSE;  // the model decides the focus
    }
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    INT_PTR result = 0;
    if (!self->HandleMessage(message, wParam, lParam, result)) {
        return FALSE;
    }
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

bool DialogWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(static_cast<short>(LOWORD(wParam)), HIWORD(wParam),
                      reinterpret_cast<HWND>(lParam));
            return true;
        case WM_NOTIFY:
            OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
            result = 0;
            return true;
        case WM_HSCROLL:
            if (lParam != 0) {
                const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
                if (applying_ == 0 && controls_.count(id) != 0) {
                    dialog_.DragSlider(id, static_cast<int>(SendMessageW(
                                               reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0)));
                    Reconcile(id);
                }
            }
            return true;
        case WM_CLOSE:
            RequestClose(IDCANCEL);
            return true;
        case WM_APP_FLUSH:
            Flush();
            return true;
        default:
            return false;
    }
}

void DialogWindow::OnCommand(int id, int code, HWND control) {
    if (applying_ != 0) {
        return;
    }
    const auto found = controls_.find(id);
    if (control == nullptr || found == controls_.end()) {
        if (id == IDOK || id == IDCANCEL) {
            RequestClose(id);  // Enter or Escape
        }
        return;
    }
    // Only input is reconciled: other notifications (an edit's EN_UPDATE comes
    // before its EN_CHANGE) would put the model's old text back over the typing.
    const ui::ControlKind kind = found->second.Kind();
    if ((kind == ui::ControlKind::PushButton || kind == ui::ControlKind::CheckBox ||
         kind == ui::ControlKind::RadioButton) &&
        code == BN_CLICKED) {
        dialog_.Click(id);
    } else if (kind == ui::ControlKind::Edit && code == EN_CHANGE) {
        dialog_.TypeText(id, WindowText(control));
    } else if (kind == ui::ControlKind::ComboBox && code == CBN_SELCHANGE) {
        dialog_.SelectItem(id, static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
    } else {
        return;
    }
    Reconcile(id);
}

void DialogWindow::OnNotify(const NMHDR& header) {
    const int id = static_cast<int>(header.idFrom);
    if (applying_ != 0 || controls_.count(id) == 0) {
        return;
    }
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) != 0 &&
            ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0) {
            dialog_.SelectRows(id, SelectedRows(header.hwndFrom));
        }
        return;
    }
    if (header.code == static_cast<UINT>(TCN_SELCHANGE)) {
        dialog_.SelectItem(id,
                           static_cast<int>(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0)));
        Reconcile(id);
    }
}

void DialogWindow::Reconcile(int id) {
    // The model may have refused or cut the input; the control shows what it kept.
    Show(id);
}

void DialogWindow::RequestClose(int command) {
    if (dialog_.Template().Find(command) != nullptr) {
        dialog_.Click(command);
        return;
    }
    if (!dialog_.Command(command) && !dialog_.IsEnded()) {
        dialog_.EndDialog(command);
    }
}

HWND DialogWindow::Control(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second.Handle();
}

void DialogWindow::OnControlChanged(const ui::Dialog&, int controlId) {
    {
        std::lock_guard lock(changedMutex_);
        changed_.insert(controlId);
        if (flushPosted_) {
            return;
        }
        flushPosted_ = true;
    }
    PostMessageW(window_, WM_APP_FLUSH, 0, 0);
}

void DialogWindow::Flush() {
    std::set<int> changed;
    {
        std::lock_guard lock(changedMutex_);
        changed.swap(changed_);
        flushPosted_ = false;
    }
    for (int id : changed) {
        Show(id);
    }
}

void DialogWindow::Show(int id) {
    if (id == ui::DIALOG_ITSELF) {
        if (followDialogVisibility_) {
            ShowWindow(window_, dialog_.IsDialogVisible() ? SW_SHOWNA : SW_HIDE);
        }
        return;
    }
    const auto found = controls_.find(id);
    if (found == controls_.end()) {
        return;
    }
    ++applying_;
    found->second.Apply(dialog_.State(id));
    --applying_;
}

}  // namespace quillon::win32
