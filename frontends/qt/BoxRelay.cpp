#include "frontends/qt/BoxRelay.hpp"

#include <algorithm>

namespace quillon::gui {

int BoxRelay::Ask(std::function<int()> present, int dismissedAnswer) {
    auto question = std::make_shared<Question>(Question{std::move(present), dismissedAnswer, {}});
    {
        std::lock_guard lock(mutex_);
        if (dismissed_) {
            return dismissedAnswer;
        }
        waiting_.push_back(question);
    }
    dispatcher_.Post([this, question] { Present(question); });
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [&question] { return question->answer.has_value(); });
    return *question->answer;
}

void BoxRelay::Present(const std::shared_ptr<Question>& question) {
    {
        std::lock_guard lock(mutex_);
        if (question->answer.has_value()) {
            return;  // dismissed before its turn came
        }
    }
    const int answer = question->present();
    {
        std::lock_guard lock(mutex_);
        if (!question->answer.has_value()) {
            question->answer = answer;
        }
        std::erase(waiting_, question);
    }
    answered_.notify_all();
}

void BoxRelay::DismissAll() {
    {
        std::lock_guard lock(mutex_);
        dismissed_ = true;
        for (auto& question : waiting_) {
            if (!question->answer.has_value()) {
                question->answer = question->dismissedAnswer;
            }
        }
        waiting_.clear();
    }
    answered_.notify_all();
}

bool BoxRelay::Dismissed() const {
    std::lock_guard lock(mutex_);
    return dismissed_;
}

}  // namespace quillon::gui
