#include "platform/kmdf/IoOperation.hpp"

namespace kmdf {

void IoOperation::Finish(NTSTATUS status, std::size_t information) {
    std::lock_guard lock(mutex_);
    if (completions_++ == 0) {
        result_ = IoResult{status, information};
    }
    finished_.notify_all();
}

IoResult IoOperation::Wait() {
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return completions_ > 0; });
    return result_;
}

bool IoOperation::WaitUntil(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    return finished_.wait_until(lock, deadline, [&] { return completions_ > 0; });
}

bool IoOperation::IsDone() {
    std::lock_guard lock(mutex_);
    return completions_ > 0;
}

int IoOperation::Completions() {
    std::lock_guard lock(mutex_);
    return completions_;
}

}  // namespace kmdf
