#include "tests/win32/WindowWatcher.hpp"

#include "frontends/win32/ControlMirror.hpp"

namespace quillon::test {

namespace {

constexpr int MESSAGE_BOX_TEXT = 0xFFFF;
// The open-file dialog's file name: a combo box, or an edit in older layouts.
constexpr int FILE_NAME_COMBO = 0x047C;
constexpr int FILE_NAME_EDIT = 0x0480;
/// How long a window is left to paint itself before BeforeAnswering's action.
constexpr UINT PAINT_MS = 300;
WindowWatcher* current = nullptr;

bool IsDialogClass(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return std::wstring_view(name) == L"#32770";
}

}  // namespace

WindowWatcher::WindowWatcher(std::function<Role(HWND)> roleOf) : roleOf_(std::move(roleOf)) {
    current = this;
    hook_ = SetWindowsHookExW(WH_CBT, &WindowWatcher::Hook, nullptr, GetCurrentThreadId());
    dialogAction_ = [](HWND window, const SeenWindow&) {
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    };
}

WindowWatcher::~WindowWatcher() {
    UnhookWindowsHookEx(hook_);
    current = nullptr;
}

void WindowWatcher::AnswerBoxesWith(std::vector<int> answers) {
    answers_.assign(answers.begin(), answers.end());
}

std::vector<SeenWindow> WindowWatcher::Boxes() const {
    std::vector<SeenWindow> boxes;
    for (const SeenWindow& seen : seen_) {
        if (seen.messageBox) {
            boxes.push_back(seen);
        }
    }
    return boxes;
}

LRESULT CALLBACK WindowWatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && current != nullptr) {
        // Handles are used again: a new window is one not yet answered.
        current->answered_.erase(reinterpret_cast<HWND>(wParam));
    }
    if (code == HCBT_ACTIVATE && current != nullptr) {
        current->Activated(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void WindowWatcher::Activated(HWND window) {
    if (!IsDialogClass(window) || (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0 ||
        answered_.count(window) != 0) {
        return;
    }
    const Role role = roleOf_(window);
    if (role == Role::Ignored) {
        return;
    }
    answered_.insert(window);
    SeenWindow seen;
    seen.caption = win32::WindowText(window);
    seen.messageBox = role == Role::SystemBox;
    if (seen.messageBox) {
        if (HWND text = GetDlgItem(window, MESSAGE_BOX_TEXT)) {
            seen.text = win32::WindowText(text);
        }
    }
    const bool fileDialog = seen.messageBox && (GetDlgItem(window, FILE_NAME_COMBO) != nullptr ||
                                                GetDlgItem(window, FILE_NAME_EDIT) != nullptr);
    if (fileDialog) {
        seen.messageBox = false;
        seen.text.clear();
        SetDlgItemTextW(window, FILE_NAME_COMBO, filePath_.c_str());
        SetDlgItemTextW(window, FILE_NAME_EDIT, filePath_.c_str());
    }
    seen_.push_back(seen);
    if (before_) {
        waiting_[window] = {seen, fileDialog};
        SetTimer(window, 1, PAINT_MS, &WindowWatcher::Deferred);
        return;
    }
    Answer(window, seen, fileDialog);
}

void CALLBACK WindowWatcher::Deferred(HWND window, UINT, UINT_PTR timer, DWORD) {
    KillTimer(window, timer);
    if (current == nullptr) {
        return;
    }
    const auto found = current->waiting_.find(window);
    if (found == current->waiting_.end()) {
        return;
    }
    const auto [seen, fileDialog] = found->second;
    current->waiting_.erase(found);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    current->before_(window, seen);
    current->Answer(window, seen, fileDialog);
}

void WindowWatcher::Answer(HWND window, const SeenWindow& seen, bool fileDialog) {
    if (fileDialog) {
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        return;
    }
    if (!seen.messageBox) {
        dialogAction_(window, seen);
        return;
    }
    int answer = IDOK;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(answer), 0);
}

}  // namespace quillon::test
