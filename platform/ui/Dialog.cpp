#include "platform/ui/Dialog.hpp"

#include <algorithm>
#include <stdexcept>

#include "platform/ui/DataExchange.hpp"
#include "platform/ui/Host.hpp"

namespace quillon::ui {

namespace {

// The first `limit` characters of UTF-8 `text` (all of it for limit 0).
std::string_view FirstCharacters(std::string_view text, int limit) {
    if (limit <= 0) {
        return text;
    }
    int characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
        if (!continuation && characters++ == limit) {
            return text.substr(0, i);
        }
    }
    return text;
}

}  // namespace

Dialog::Dialog(const DialogTemplate& dialogTemplate, Host& host, Dialog* parent)
    : template_(dialogTemplate),
      host_(host),
      parent_(parent),
      mutex_(parent != nullptr ? parent->mutex_ : std::make_shared<std::recursive_mutex>()) {
    for (const auto& info : template_.controls) {
        if (info.id == IDC_STATIC) {
            continue;
        }
        ControlState state;
        state.visible = info.visible;
        state.enabled = info.enabled;
        state.text = info.text;
        state.items = info.items;
        controls_.emplace(info.id, std::move(state));
    }
}

Dialog::~Dialog() {
    host_.DiscardMessagesFor(*this);
}

std::unique_lock<std::recursive_mutex> Dialog::Lock() const {
    return std::unique_lock<std::recursive_mutex>(*mutex_);
}

bool Dialog::Create() {
    {
        auto lock = Lock();
        if (created_) {
            return true;
        }
        created_ = true;
    }
    return OnInitDialog();
}

bool Dialog::IsCreated() const {
    auto lock = Lock();
    return created_;
}

int Dialog::DoModal() {
    {
        auto lock = Lock();
        modalResult_.reset();
    }
    Create();
    ShowDialog(true);
    const int result = host_.RunModal(*this);
    ShowDialog(false);
    return result;
}

void Dialog::EndDialog(int result) {
    {
        auto lock = Lock();
        modalResult_ = result;
    }
    Changed(DIALOG_ITSELF);
}

bool Dialog::IsEnded() const {
    auto lock = Lock();
    return modalResult_.has_value();
}

int Dialog::ModalResult() const {
    auto lock = Lock();
    return modalResult_.value_or(IDCANCEL);
}

void Dialog::ShowDialog(bool visible) {
    {
        auto lock = Lock();
        visible_ = visible;
    }
    Changed(DIALOG_ITSELF);
}

bool Dialog::IsDialogVisible() const {
    auto lock = Lock();
    return visible_;
}

ControlState& Dialog::Control(int id) {
    auto found = controls_.find(id);
    if (found == controls_.end()) {
        throw std::out_of_range("dialog " + std::to_string(template_.number) + " has no control " +
                                std::to_string(id));
    }
    return found->second;
}

const ControlState& Dialog::Control(int id) const {
    return const_cast<Dialog*>(this)->Control(id);
}

const ControlTemplate& Dialog::ControlInfo(int id) const {
    const ControlTemplate* info = template_.Find(id);
    if (info == nullptr) {
        throw std::out_of_range("dialog " + std::to_string(template_.number) + " has no control " +
                                std::to_string(id));
    }
    return *info;
}

void Dialog::Changed(int id) const {
    std::vector<DialogObserver*> observers;
    {
        auto lock = Lock();
        observers = observers_;
    }
    for (auto* observer : observers) {
        observer->OnControlChanged(*this, id);
    }
}

std::string Dialog::GetDlgItemText(int id) const {
    auto lock = Lock();
    return Control(id).text;
}

void Dialog::SetDlgItemText(int id, std::string_view text) {
    {
        auto lock = Lock();
        Control(id).text = std::string(text);
    }
    Changed(id);
}

void Dialog::LimitText(int id, int characters) {
    {
        auto lock = Lock();
        Control(id).textLimit = std::max(characters, 0);
    }
    Changed(id);
}

int Dialog::GetLimitText(int id) const {
    auto lock = Lock();
    return Control(id).textLimit;
}

int Dialog::IsDlgButtonChecked(int id) const {
    auto lock = Lock();
    return Control(id).check;
}

void Dialog::CheckDlgButton(int id, int check) {
    {
        auto lock = Lock();
        Control(id).check = check;
    }
    Changed(id);
}

void Dialog::EnableWindow(int id, bool enabled) {
    {
        auto lock = Lock();
        Control(id).enabled = enabled;
    }
    Changed(id);
}

bool Dialog::IsWindowEnabled(int id) const {
    auto lock = Lock();
    return Control(id).enabled;
}

void Dialog::ShowWindow(int id, bool visible) {
    {
        auto lock = Lock();
        Control(id).visible = visible;
    }
    Changed(id);
}

bool Dialog::IsWindowVisible(int id) const {
    auto lock = Lock();
    return Control(id).visible;
}

void Dialog::ResetContent(int id) {
    {
        auto lock = Lock();
        auto& control = Control(id);
        control.items.clear();
        control.selection = -1;
    }
    Changed(id);
}

int Dialog::AddString(int id, std::string_view item) {
    int index = 0;
    {
        auto lock = Lock();
        auto& control = Control(id);
        control.items.emplace_back(item);
        index = static_cast<int>(control.items.size()) - 1;
    }
    Changed(id);
    return index;
}

std::vector<std::string> Dialog::GetItems(int id) const {
    auto lock = Lock();
    return Control(id).items;
}

int Dialog::GetCurSel(int id) const {
    auto lock = Lock();
    return Control(id).selection;
}

void Dialog::SetCurSel(int id, int index) {
    {
        auto lock = Lock();
        auto& control = Control(id);
        const bool inRange = index >= 0 && index < static_cast<int>(control.items.size());
        control.selection = inRange ? index : -1;
    }
    Changed(id);
}

void Dialog::InsertColumn(int id, int index, std::string_view heading, int width) {
    {
        auto lock = Lock();
        auto& columns = Control(id).columns;
        const auto at = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(index, 0)), 0,
                                                columns.size());
        columns.insert(columns.begin() + static_cast<std::ptrdiff_t>(at),
                       ListColumn{std::string(heading), width});
    }
    Changed(id);
}

std::vector<ListColumn> Dialog::GetColumns(int id) const {
    auto lock = Lock();
    return Control(id).columns;
}

void Dialog::DeleteAllItems(int id) {
    {
        auto lock = Lock();
        auto& control = Control(id);
        control.rows.clear();
        control.selectedRows.clear();
    }
    Changed(id);
}

int Dialog::InsertItem(int id, int row, std::string_view text) {
    int at = 0;
    {
        auto lock = Lock();
        auto& control = Control(id);
        at = std::clamp(row, 0, static_cast<int>(control.rows.size()));
        std::vector<std::string> cells(std::max<std::size_t>(control.columns.size(), 1));
        cells[0] = std::string(text);
        control.rows.insert(control.rows.begin() + at, std::move(cells));
        std::set<int> shifted;
        for (int selected : control.selectedRows) {
            shifted.insert(selected >= at ? selected + 1 : selected);
        }
        control.selectedRows = std::move(shifted);
    }
    Changed(id);
    return at;
}

void Dialog::SetItemText(int id, int row, int column, std::string_view text) {
    {
        auto lock = Lock();
        auto& rows = Control(id).rows;
        if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0) {
            return;
        }
        auto& cells = rows[static_cast<std::size_t>(row)];
        if (static_cast<std::size_t>(column) >= cells.size()) {
            cells.resize(static_cast<std::size_t>(column) + 1);
        }
        cells[static_cast<std::size_t>(column)] = std::string(text);
    }
    Changed(id);
}

std::string Dialog::GetItemText(int id, int row, int column) const {
    auto lock = Lock();
    const auto& rows = Control(id).rows;
    if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0) {
        return {};
    }
    const auto& cells = rows[static_cast<std::size_t>(row)];
    return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)]
                                                           : std::string();
}

int Dialog::GetItemCount(int id) const {
    auto lock = Lock();
    return static_cast<int>(Control(id).rows.size());
}

std::vector<int> Dialog::GetSelectedRows(int id) const {
    auto lock = Lock();
    const auto& selected = Control(id).selectedRows;
    return {selected.begin(), selected.end()};
}

void Dialog::SetItemSelected(int id, int row, bool selected) {
    {
        auto lock = Lock();
        auto& control = Control(id);
        if (row < 0 || row >= static_cast<int>(control.rows.size())) {
            return;
        }
        if (selected) {
            control.selectedRows.insert(row);
        } else {
            control.selectedRows.erase(row);
        }
    }
    Changed(id);
}

void Dialog::SetRange(int id, int minimum, int maximum) {
    {
        auto lock = Lock();
        auto& control = Control(id);
        control.rangeMin = minimum;
        control.rangeMax = maximum;
        control.position = std::clamp(control.position, minimum, std::max(minimum, maximum));
    }
    Changed(id);
}

int Dialog::GetRangeMin(int id) const {
    auto lock = Lock();
    return Control(id).rangeMin;
}

int Dialog::GetRangeMax(int id) const {
    auto lock = Lock();
    return Control(id).rangeMax;
}

void Dialog::SetPos(int id, int position) {
    {
        auto lock = Lock();
        auto& control = Control(id);
        control.position =
            std::clamp(position, control.rangeMin, std::max(control.rangeMin, control.rangeMax));
    }
    Changed(id);
}

int Dialog::GetPos(int id) const {
    auto lock = Lock();
    return Control(id).position;
}

void Dialog::AppendRun(int id, TextRun run) {
    {
        auto lock = Lock();
        Control(id).runs.push_back(std::move(run));
    }
    Changed(id);
}

std::vector<TextRun> Dialog::GetRuns(int id) const {
    auto lock = Lock();
    return Control(id).runs;
}

void Dialog::ClearRuns(int id) {
    {
        auto lock = Lock();
        Control(id).runs.clear();
    }
    Changed(id);
}

ControlState Dialog::State(int id) const {
    auto lock = Lock();
    return Control(id);
}

bool Dialog::Accepts(int id) const {
    auto lock = Lock();
    const auto& control = Control(id);
    return control.visible && control.enabled;
}

void Dialog::CheckRadio(int id) {
    // The group runs from the nearest STYLE_GROUP radio at or before `id` to
    // the next STYLE_GROUP control or non-radio control.
    const auto& controls = template_.controls;
    auto self = std::find_if(controls.begin(), controls.end(),
                             [id](const ControlTemplate& c) { return c.id == id; });
    auto first = self;
    while (first != controls.begin() && !(first->style & STYLE_GROUP) &&
           std::prev(first)->kind == ControlKind::RadioButton) {
        --first;
    }
    for (auto it = first; it != controls.end() && it->kind == ControlKind::RadioButton; ++it) {
        if (it != first && (it->style & STYLE_GROUP)) {
            break;
        }
        CheckDlgButton(it->id, it->id == id ? BST_CHECKED : BST_UNCHECKED);
    }
}

bool Dialog::Click(int id) {
    if (!Accepts(id)) {
        return false;
    }
    const ControlKind kind = ControlInfo(id).kind;
    if (kind == ControlKind::CheckBox) {
        CheckDlgButton(id, IsDlgButtonChecked(id) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    } else if (kind == ControlKind::RadioButton) {
        CheckRadio(id);
    }
    Command(id, BN_CLICKED);
    return true;
}

bool Dialog::TypeText(int id, std::string_view text) {
    if (!Accepts(id)) {
        return false;
    }
    SetDlgItemText(id, FirstCharacters(text, GetLimitText(id)));
    Command(id, EN_CHANGE);
    return true;
}

bool Dialog::SelectItem(int id, int index) {
    if (!Accepts(id)) {
        return false;
    }
    if (ControlInfo(id).kind == ControlKind::TabControl) {
        if (Notify(id, TCN_SELCHANGING) != 0) {
            return false;
        }
        SetCurSel(id, index);
        Notify(id, TCN_SELCHANGE);
        return true;
    }
    SetCurSel(id, index);
    Command(id, CBN_SELCHANGE);
    return true;
}

bool Dialog::SelectRows(int id, const std::vector<int>& rows) {
    if (!Accepts(id)) {
        return false;
    }
    {
        auto lock = Lock();
        auto& control = Control(id);
        control.selectedRows.clear();
        for (int row : rows) {
            if (row >= 0 && row < static_cast<int>(control.rows.size())) {
                control.selectedRows.insert(row);
            }
        }
    }
    Changed(id);
    Notify(id, LVN_ITEMCHANGED);
    return true;
}

bool Dialog::DragSlider(int id, int position) {
    if (!Accepts(id)) {
        return false;
    }
    SetPos(id, position);
    Notify(id, NM_CUSTOMDRAW);
    return true;
}

void Dialog::OnCommand(int id, CommandHandler handler, int code) {
    commands_[{id, code}] = std::move(handler);
}

void Dialog::OnNotify(int id, int code, NotifyHandler handler) {
    notifications_[{id, code}] = std::move(handler);
}

void Dialog::OnMessage(std::uint32_t message, MessageHandler handler) {
    messages_[message] = std::move(handler);
}

bool Dialog::Command(int id, int code) {
    auto found = commands_.find({id, code});
    if (found == commands_.end()) {
        return false;
    }
    found->second();
    return true;
}

LRESULT Dialog::Notify(int id, int code) {
    auto found = notifications_.find({id, code});
    return found == notifications_.end() ? 0 : found->second();
}

LRESULT Dialog::SendMessage(std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    auto found = messages_.find(message);
    return found == messages_.end() ? 0 : found->second(wParam, lParam);
}

void Dialog::PostMessage(std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    host_.PostMessage(*this, message, wParam, lParam);
}

bool Dialog::UpdateData(bool saveAndValidate) {
    DataExchange exchange(*this, saveAndValidate);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

int Dialog::MessageBox(std::string_view text, std::string_view caption, unsigned style) {
    return host_.MessageBox(this, text, caption, style);
}

void Dialog::AddObserver(DialogObserver* observer) {
    auto lock = Lock();
    observers_.push_back(observer);
}

void Dialog::RemoveObserver(DialogObserver* observer) {
    auto lock = Lock();
    std::erase(observers_, observer);
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::DoDataExchange(DataExchange&) {}

}  // namespace quillon::ui
