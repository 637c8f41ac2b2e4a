#include "frontends/win32/Win32Host.hpp"

#include "frontends/win32/SystemHeaders.hpp"

#include <algorithm>
#include <memory>
#include <vector>

#include "frontends/win32/Utf16.hpp"
#include "platform/ui/Dialog.hpp"

namespace quillon::win32 {

namespace {

constexpr UINT WM_APP_PUMP = WM_APP + 2;
constexpr const wchar_t* QUEUE_WINDOW_CLASS = L"QuillonModelQueue";
/// The class of the system's dialogs, message boxes among them.
constexpr const wchar_t* DIALOG_CLASS = L"#32770";
/// The id of a message box's text.
constexpr int MESSAGE_BOX_TEXT = 0xFFFF;
constexpr DWORD FILE_NAME_CHARACTERS = 32768;

/// What a box answers when it is closed rather than answered.
int ClosedBoxAnswer(unsigned style) {
    switch (style & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return IDCANCEL;
        case MB_YESNO:
            return IDNO;
        default:
            return IDOK;
    }
}

struct BoxSearch {
    std::wstring text;
    HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM lParam) {
    auto& search = *reinterpret_cast<BoxSearch*>(lParam);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wstring_view(className) != DIALOG_CLASS || !IsWindowVisible(window)) {
        return TRUE;
    }
    HWND textControl = GetDlgItem(window, MESSAGE_BOX_TEXT);
    if (textControl != nullptr && WideText(WindowText(textControl)) == search.text) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::wstring NativeFileFilter(std::string_view filter) {
    std::wstring native = WideText(filter);
    // "A|*.a||" ends in two separators; the native filter ends in two zeros.
    for (wchar_t& character : native) {
        if (character == L'|') {
            character = L'\0';
        }
    }
    if (native.size() < 2 || native[native.size() - 1] != L'\0' ||
        native[native.size() - 2] != L'\0') {
        native.append(2, L'\0');
    }
    return native;
}

Win32Host::Win32Host() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &Win32Host::QueueProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = QUEUE_WINDOW_CLASS;
    RegisterClassExW(&windowClass);  // a second host finds it registered already
    queueWindow_ = CreateWindowExW(0, QUEUE_WINDOW_CLASS, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    if (queueWindow_ == nullptr) {
        throw WindowError("the window that runs posted messages could not be created");
    }
    SetWindowLongPtrW(queueWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Host::~Win32Host() {
    SetWindowLongPtrW(queueWindow_, GWLP_USERDATA, 0);
    DestroyWindow(queueWindow_);
}

LRESULT CALLBACK Win32Host::QueueProcedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    auto* host = reinterpret_cast<Win32Host*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message != WM_APP_PUMP || host == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    host->pumpPosted_ = false;
    // Called from a message loop already: the window's messages must not nest here.
    const bool outer = std::exchange(host->inWindowMessages_, true);
    host->PumpMessages();
    host->inWindowMessages_ = outer;
    return 0;
}

void Win32Host::OnMessagePosted() {
    if (!pumpPosted_.exchange(true)) {
        PostMessageW(queueWindow_, WM_APP_PUMP, 0, 0);
    }
}

void Win32Host::OnPump() {
    if (OnUiThread() && !inWindowMessages_) {
        ++codePumps_;
        inWindowMessages_ = true;
        RunPendingWindowMessages();
        inWindowMessages_ = false;
    }
}

bool Win32Host::DispatchOne(MSG& message) {
    if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));  // for the outermost loop
        return false;
    }
    HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    for (const auto& [dialog, window] : windows_) {
        if (window->Handle() == root && IsDialogMessageW(root, &message) != FALSE) {
            return true;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

bool Win32Host::RunPendingWindowMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        if (!DispatchOne(message)) {
            return false;
        }
    }
    return true;
}

HWND Win32Host::WindowFor(const ui::Dialog* dialog) const {
    for (const ui::Dialog* d = dialog; d != nullptr; d = d->Parent()) {
        if (const auto found = windows_.find(d); found != windows_.end()) {
            return found->second->Handle();
        }
    }
    return GetActiveWindow();
}

DialogWindow* Win32Host::ModalWindow(const ui::Dialog& dialog) const {
    const auto found = windows_.find(&dialog);
    return found == windows_.end() ? nullptr : found->second;
}

ui::Dialog* Win32Host::DialogShownBy(HWND window) const {
    for (const auto& [dialog, shown] : windows_) {
        if (shown->Handle() == window) {
            return &shown->Model();
        }
    }
    return nullptr;
}

int Win32Host::MessageBox(const ui::Dialog* owner, std::string_view text, std::string_view caption,
                          unsigned style) {
    if (!OnUiThread()) {
        if (dismissing_) {
            return ClosedBoxAnswer(style);
        }
        return CallOnUiThread([this, owner, text = std::string(text),
                               caption = std::string(caption), style] {
            return dismissing_ ? ClosedBoxAnswer(style) : MessageBox(owner, text, caption, style);
        });
    }
    return MessageBoxW(WindowFor(owner), WideText(text).c_str(), WideText(caption).c_str(), style);
}

std::optional<std::string> Win32Host::OpenFileDialog(const ui::Dialog* owner,
                                                     std::string_view filter) {
    if (!OnUiThread()) {
        auto chosen = std::make_shared<std::optional<std::string>>();
        CallOnUiThread([this, owner, filter = std::string(filter), chosen] {
            *chosen = OpenFileDialog(owner, filter);
            return 0;
        });
        return *chosen;
    }
    const std::wstring nativeFilter = NativeFileFilter(filter);
    std::vector<wchar_t> fileName(FILE_NAME_CHARACTERS, L'\0');
    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = WindowFor(owner);
    request.lpstrFilter = nativeFilter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = fileName.data();
    request.nMaxFile = FILE_NAME_CHARACTERS;
    request.Flags =
        OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (GetOpenFileNameW(&request) == FALSE) {
        return std::nullopt;
    }
    return Utf8Text(fileName.data());
}

std::optional<std::string> Win32Host::SaveFileDialog(const ui::Dialog* owner,
                                                     std::string_view filter,
                                                     std::string_view defaultName) {
    if (!OnUiThread()) {
        auto chosen = std::make_shared<std::optional<std::string>>();
        CallOnUiThread([this, owner, filter = std::string(filter),
                        defaultName = std::string(defaultName), chosen] {
            *chosen = SaveFileDialog(owner, filter, defaultName);
            return 0;
        });
        return *chosen;
    }
    const std::wstring nativeFilter = NativeFileFilter(filter);
    std::vector<wchar_t> fileName(FILE_NAME_CHARACTERS, L'\0');
    const std::wstring proposed = WideText(defaultName);
    std::copy_n(proposed.begin(), std::min<std::size_t>(proposed.size(), FILE_NAME_CHARACTERS - 1),
                fileName.begin());
    // The extension the first filter names, added when the user types none.
    std::wstring extension;
    if (const auto dot = proposed.rfind(L'.'); dot != std::wstring::npos) {
        extension = proposed.substr(dot + 1);
    }
    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = WindowFor(owner);
    request.lpstrFilter = nativeFilter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = fileName.data();
    request.nMaxFile = FILE_NAME_CHARACTERS;
    request.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    request.Flags =
        OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (GetSaveFileNameW(&request) == FALSE) {
        return std::nullopt;
    }
    return Utf8Text(fileName.data());
}

void Win32Host::CloseMessageBox(const ui::Dialog* owner, std::string_view text) {
    auto close = [text = WideText(text)] {
        BoxSearch search{text};
        EnumThreadWindows(GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            // The box's own close: its escape button answers.
            SendMessageW(search.found, WM_COMMAND, IDCANCEL, 0);
        }
    };
    if (OnUiThread()) {
        close();
    } else if (owner != nullptr) {
        // Queued, so a box asked for after this opens after the close.
        PostTask(const_cast<ui::Dialog&>(*owner), close);
    }
}

int Win32Host::RunModal(ui::Dialog& dialog) {
    std::unique_ptr<DialogWindow> window = windowFactory_ ? windowFactory_(dialog) : nullptr;
    if (window == nullptr) {
        return dialog.ModalResult();  // no way to show it: it ends unanswered
    }
    HWND owner = GetWindow(window->Handle(), GW_OWNER);
    const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner) != FALSE;
    if (ownerWasEnabled) {
        EnableWindow(owner, FALSE);
    }
    windows_[&dialog] = window.get();
    ShowWindow(window->Handle(), SW_SHOW);
    SetForegroundWindow(window->Handle());
    MSG message{};
    while (!dialog.IsEnded()) {
        if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
            PostQuitMessage(0);
            break;
        }
        DispatchOne(message);
    }
    if (ownerWasEnabled) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    windows_.erase(&dialog);
    return dialog.ModalResult();
}

}  // namespace quillon::win32
