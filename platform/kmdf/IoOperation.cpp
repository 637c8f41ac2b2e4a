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

bool IoOperation::IsDone() {
    std::lock_guard lock(mutex_);
    return completions_ > 0;
}

int IoOperation::Completions() {
    std::lock_guard lock(mutex_);
    return completions_;
}

}  // namespace kmdf
