#include "support/ScriptedHost.hpp"

#include <algorithm>

#include "platform/ui/Dialog.hpp"

namespace quillon::test {

int ScriptedHost::MessageBox(const ui::Dialog* owner, std::string_view text,
                             std::string_view caption, unsigned style) {
    RecordedBox box{owner != nullptr ? owner->Template().number : 0, std::string(text),
                    std::string(caption), style};
    std::function<void(const RecordedBox&)> observer;
    int answer = (style & ui::MB_TYPEMASK) == ui::MB_YESNO ? ui::IDYES : ui::IDOK;
    {
        std::lock_guard lock(mutex_);
        boxes_.push_back(box);
        openBoxes_.push_back(box);
        boxLog_.push_back("opened: " + box.text);
        observer = boxObserver_;
        if (!answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        }
    }
    if (observer) {
        observer(box);
    }
    std::lock_guard lock(mutex_);
    if (const auto open = std::find(openBoxes_.begin(), openBoxes_.end(), box);
        open != openBoxes_.end()) {
        openBoxes_.erase(open);
        boxLog_.push_back("answered: " + box.text);
    }
    return answer;
}

void ScriptedHost::CloseMessageBox(const ui::Dialog* owner, std::string_view text) {
    const int ownerTemplate = owner != nullptr ? owner->Template().number : 0;
    std::lock_guard lock(mutex_);
    const auto open = std::find_if(openBoxes_.begin(), openBoxes_.end(), [&](const auto& box) {
        return box.ownerTemplate == ownerTemplate && box.text == text;
    });
    if (open != openBoxes_.end()) {
        boxLog_.push_back("closed: " + open->text);
        openBoxes_.erase(open);
    }
}

std::vector<std::string> ScriptedHost::BoxLog() const {
    std::lock_guard lock(mutex_);
    return boxLog_;
}

std::optional<std::string> ScriptedHost::OpenFileDialog(const ui::Dialog*,
                                                        std::string_view filter) {
    std::lock_guard lock(mutex_);
    filters_.emplace_back(filter);
    if (fileAnswers_.empty()) {
        return std::nullopt;
    }
    auto answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    return answer;
}

std::optional<std::string> ScriptedHost::SaveFileDialog(const ui::Dialog* owner,
                                                        std::string_view filter, std::string_view) {
    return OpenFileDialog(owner, filter);
}

int ScriptedHost::RunModal(ui::Dialog& dialog) {
    std::function<void(ui::Dialog&)> script;
    {
        std::lock_guard lock(mutex_);
        script = modalScript_;
    }
    if (script) {
        script(dialog);
    }
    return dialog.IsEnded() ? dialog.ModalResult() : ui::IDCANCEL;
}

void ScriptedHost::AnswerNextBoxes(std::vector<int> answers) {
    std::lock_guard lock(mutex_);
    answers_.insert(answers_.end(), answers.begin(), answers.end());
}

void ScriptedHost::AnswerNextFileDialogs(std::vector<std::optional<std::string>> answers) {
    std::lock_guard lock(mutex_);
    fileAnswers_.insert(fileAnswers_.end(), answers.begin(), answers.end());
}

void ScriptedHost::SetModalScript(std::function<void(ui::Dialog&)> script) {
    std::lock_guard lock(mutex_);
    modalScript_ = std::move(script);
}

void ScriptedHost::SetBoxObserver(std::function<void(const RecordedBox&)> observer) {
    std::lock_guard lock(mutex_);
    boxObserver_ = std::move(observer);
}

std::vector<RecordedBox> ScriptedHost::Boxes() const {
    std::lock_guard lock(mutex_);
    return boxes_;
}

std::vector<std::string> ScriptedHost::BoxTexts() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    for (const auto& box : boxes_) {
        texts.push_back(box.text);
    }
    return texts;
}

std::vector<std::string> ScriptedHost::FileDialogFilters() const {
    std::lock_guard lock(mutex_);
    return filters_;
}

void ScriptedHost::ClearBoxes() {
    std::lock_guard lock(mutex_);
    boxes_.clear();
    boxLog_.clear();
}

}  // namespace quillon::test
