// Finds every dialog window the thread opens (message boxes, the about box,
// the adapter dialog) as it is activated, through a CBT hook on the thread,
// records its caption and text, and answers it: a message box by pressing
// the next scripted button, any other dialog by the action the test gave.
#pragma once

#include "frontends/win32/SystemHeaders.hpp"

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace quillon::test {

struct SeenWindow {
    std::string caption;
    std::string text;  ///< a message box's text; empty for other dialogs
    bool messageBox = false;
};

class WindowWatcher {
  public:
    using Action = std::function<void(HWND window, const SeenWindow& seen)>;

    enum class Role {
        Ignored,      ///< a window the test itself opened
        ModelDialog,  ///< a dialog of the model, run modally
        SystemBox,    ///< a message box or another dialog of the system's
    };
    /// `roleOf` tells the model's dialogs from the system's boxes.
    explicit WindowWatcher(std::function<Role(HWND)> roleOf);
    ~WindowWatcher();
    WindowWatcher(const WindowWatcher&) = delete;
    WindowWatcher& operator=(const WindowWatcher&) = delete;

    /// Message boxes are answered with these buttons in turn (IDOK, IDYES...);
    /// once they are used up, with IDOK.
    void AnswerBoxesWith(std::vector<int> answers);
    /// What happens to a dialog of the model; default: Escape.
    void OnDialog(Action action) { dialogAction_ = std::move(action); }
    /// When set, every window found is first left to paint itself for a
    /// moment (a timer on its own message loop) and handed to `before`, then
    /// answered. For pictures of the windows, not for tests.
    void BeforeAnswering(Action before) { before_ = std::move(before); }
    /// The open-file dialog is given `path` and confirmed.
    void ChooseFile(std::wstring path) { filePath_ = std::move(path); }
    const std::vector<SeenWindow>& Seen() const { return seen_; }
    std::vector<SeenWindow> Boxes() const;

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    void Activated(HWND window);
    void Answer(HWND window, const SeenWindow& seen, bool fileDialog);
    static void CALLBACK Deferred(HWND window, UINT message, UINT_PTR timer, DWORD time);

    std::function<Role(HWND)> roleOf_;
    HHOOK hook_ = nullptr;
    std::deque<int> answers_;
    Action dialogAction_;
    std::wstring filePath_;
    Action before_;
    std::map<HWND, std::pair<SeenWindow, bool>> waiting_;
    std::vector<SeenWindow> seen_;
    std::set<HWND> answered_;
};

}  // namespace quillon::test
