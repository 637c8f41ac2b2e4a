#include "platform/ui/Host.hpp"

#include "platform/ui/Dialog.hpp"

namespace quillon::ui {

void Host::PostMessage(Dialog& target, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard lock(queueMutex_);
        queue_.push_back(Posted{&target, message, wParam, lParam});
    }
    queueSignal_.notify_all();
    OnMessagePosted();
}

int Host::PumpMessages() {
    int ran = 0;
    for (;;) {
        Posted next{};
        {
            std::lock_guard lock(queueMutex_);
            if (queue_.empty()) {
                return ran;
            }
            next = queue_.front();
            queue_.pop_front();
        }
        next.target->SendMessage(next.message, next.wParam, next.lParam);
        ++ran;
    }
}

bool Host::WaitForMessage(std::chrono::milliseconds timeout) {
    std::unique_lock lock(queueMutex_);
    return queueSignal_.wait_for(lock, timeout, [this] { return !queue_.empty(); });
}

void Host::DiscardMessagesFor(const Dialog& target) {
    std::lock_guard lock(queueMutex_);
    std::erase_if(queue_, [&target](const Posted& p) { return p.target == &target; });
}

std::size_t Host::PendingMessages() const {
    std::lock_guard lock(queueMutex_);
    return queue_.size();
}

}  // namespace quillon::ui
