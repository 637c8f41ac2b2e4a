#include "platform/ui/Host.hpp"

#include "platform/ui/Dialog.hpp"

#include <future>

namespace quillon::ui {

// A waiter only sleeps on an empty queue, so only the first message of a burst
// needs to wake it.
void Host::Enqueue(Posted posted) {
    bool wasEmpty = false;
    {
        std::lock_guard lock(queueMutex_);
        wasEmpty = queue_.empty();
        queue_.push_back(std::move(posted));
        queueEmpty_.store(false, std::memory_order_release);
    }
    if (wasEmpty) {
        queueSignal_.notify_all();
    }
    OnMessagePosted();
}

void Host::PostMessage(Dialog& target, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    Enqueue(Posted{&target, message, wParam, lParam, {}});
}

void Host::PostTask(Dialog& target, std::function<void()> task) {
    Enqueue(Posted{&target, 0, 0, 0, std::move(task)});
}

int Host::CallOnUiThread(const std::function<int()>& call) {
    if (OnUiThread()) {
        return call();
    }
    auto result = std::make_shared<std::promise<int>>();
    auto answer = result->get_future();
    Enqueue(Posted{nullptr, 0, 0, 0, [call, result] { result->set_value(call()); }});
    return answer.get();
}

int Host::PumpMessages() {
    OnPump();
    int ran = 0;
    for (;;) {
        // Most pumps (one after every upgrade frame) find nothing: no lock for that.
        if (queueEmpty_.load(std::memory_order_acquire)) {
            return ran;
        }
        Posted next{};
        {
            std::lock_guard lock(queueMutex_);
            if (queue_.empty()) {
                return ran;
            }
            next = std::move(queue_.front());
            queue_.pop_front();
            queueEmpty_.store(queue_.empty(), std::memory_order_release);
        }
        if (next.task) {
            next.task();
        } else {
            next.target->SendMessage(next.message, next.wParam, next.lParam);
        }
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
    queueEmpty_.store(queue_.empty(), std::memory_order_release);
}

std::size_t Host::PendingMessages() const {
    std::lock_guard lock(queueMutex_);
    return queue_.size();
}

}  // namespace quillon::ui
