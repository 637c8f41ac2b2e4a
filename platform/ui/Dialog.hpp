// A dialog of the model: its template, the live state of every control keyed
// by id, message maps, and data exchange between controls and members.
//
// Threading: command handlers run on the user-interface thread. Control state
// may also be written from the receive thread; every accessor takes the lock
// that the dialog shares with its parent, and `Lock()` lets a caller make
// several changes atomically. Never show a message box while holding `Lock()`.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/ControlState.hpp"
#include "platform/ui/DialogObserver.hpp"
#include "platform/ui/DialogTemplate.hpp"
#include "platform/ui/WindowMessages.hpp"

namespace quillon::ui {

class DataExchange;
class Host;

class Dialog {
  public:
    using CommandHandler = std::function<void()>;
    using NotifyHandler = std::function<LRESULT()>;
    using MessageHandler = std::function<LRESULT(WPARAM, LPARAM)>;

    /// `parent` (when given) shares its lock and must outlive this dialog.
    Dialog(const DialogTemplate& dialogTemplate, Host& host, Dialog* parent = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    const DialogTemplate& Template() const { return template_; }
    Host& GetHost() const { return host_; }
    Dialog* Parent() const { return parent_; }
    std::unique_lock<std::recursive_mutex> Lock() const;

    // Life cycle.
    /// Runs OnInitDialog once; returns its result.
    bool Create();
    bool IsCreated() const;
    /// Runs the dialog modally through the host; returns the EndDialog result.
    int DoModal();
    void EndDialog(int result);
    bool IsEnded() const;
    int ModalResult() const;

    // The dialog window itself.
    void ShowDialog(bool visible);
    bool IsDialogVisible() const;

    // Control state, named as the window-system calls they stand for.
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, std::string_view text);
    int IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, int check);
    void EnableWindow(int id, bool enabled);
    bool IsWindowEnabled(int id) const;
    void ShowWindow(int id, bool visible);
    bool IsWindowVisible(int id) const;

    /// Edits: at most `characters` can be typed from now on (0 = no limit).
    void LimitText(int id, int characters);
    int GetLimitText(int id) const;

    // Drop-down lists and tab controls.
    void ResetContent(int id);
    int AddString(int id, std::string_view item);
    std::vector<std::string> GetItems(int id) const;
    int GetCurSel(int id) const;
    void SetCurSel(int id, int index);

    // Report-mode list views.
    void InsertColumn(int id, int index, std::string_view heading, int width);
    std::vector<ListColumn> GetColumns(int id) const;
    void DeleteAllItems(int id);
    int InsertItem(int id, int row, std::string_view text);
    void SetItemText(int id, int row, int column, std::string_view text);
    std::string GetItemText(int id, int row, int column) const;
    int GetItemCount(int id) const;
    std::vector<int> GetSelectedRows(int id) const;
    void SetItemSelected(int id, int row, bool selected);

    // Sliders and progress bars.
    void SetRange(int id, int minimum, int maximum);
    int GetRangeMin(int id) const;
    int GetRangeMax(int id) const;
    void SetPos(int id, int position);
    int GetPos(int id) const;

    // Rich-text display.
    void AppendRun(int id, TextRun run);
    std::vector<TextRun> GetRuns(int id) const;
    void ClearRuns(int id);

    /// A copy of the whole state of one control.
    ControlState State(int id) const;

    // User input, as a view or a test delivers it. Input to a hidden or
    // disabled control is ignored and returns false. Typed text beyond an
    // edit's limit is dropped, as the edit control drops it.
    bool Click(int id);
    bool TypeText(int id, std::string_view text);
    bool SelectItem(int id, int index);
    bool SelectRows(int id, const std::vector<int>& rows);
    bool DragSlider(int id, int position);

    // Message dispatch (user-interface thread).
    /// Routes a command notification to its handler; false when none is mapped.
    bool Command(int id, int code = BN_CLICKED);
    LRESULT Notify(int id, int code);
    /// Runs the handler of `message` now, on the calling thread.
    LRESULT SendMessage(std::uint32_t message, WPARAM wParam = 0, LPARAM lParam = 0);
    /// Queues `message` for the user-interface thread; safe from any thread.
    void PostMessage(std::uint32_t message, WPARAM wParam = 0, LPARAM lParam = 0);

    /// Moves values between controls and members. With `saveAndValidate`
    /// true, takes controls into members and stops at the first failed check
    /// (after its message box); returns false then.
    bool UpdateData(bool saveAndValidate);

    /// Shows a message box owned by this dialog; returns the button pressed.
    int MessageBox(std::string_view text, std::string_view caption, unsigned style);

    void AddObserver(DialogObserver* observer);
    void RemoveObserver(DialogObserver* observer);

  protected:
    /// Default: UpdateData(false). Returns true.
    virtual bool OnInitDialog();
    /// Binds controls to members; default binds nothing.
    virtual void DoDataExchange(DataExchange& exchange);

    void OnCommand(int id, CommandHandler handler, int code = BN_CLICKED);
    void OnNotify(int id, int code, NotifyHandler handler);
    void OnMessage(std::uint32_t message, MessageHandler handler);

  private:
    ControlState& Control(int id);
    const ControlState& Control(int id) const;
    const ControlTemplate& ControlInfo(int id) const;
    void Changed(int id) const;
    bool Accepts(int id) const;
    void CheckRadio(int id);

    const DialogTemplate& template_;
    Host& host_;
    Dialog* parent_;
    std::shared_ptr<std::recursive_mutex> mutex_;
    std::map<int, ControlState> controls_;
    bool created_ = false;
    bool visible_ = false;
    std::optional<int> modalResult_;
    std::map<std::pair<int, int>, CommandHandler> commands_;
    std::map<std::pair<int, int>, NotifyHandler> notifications_;
    std::map<std::uint32_t, MessageHandler> messages_;
    std::vector<DialogObserver*> observers_;
};

}  // namespace quillon::ui
