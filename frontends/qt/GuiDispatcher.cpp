#include "frontends/qt/GuiDispatcher.hpp"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

namespace quillon::gui {

GuiDispatcher::GuiDispatcher() : wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (wakeFd_ < 0) {
        throw std::runtime_error(std::string("GuiDispatcher: eventfd failed: ") +
                                 std::strerror(errno));
    }
    notifier_ = std::make_unique<QSocketNotifier>(wakeFd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { OnWoken(); });
}

GuiDispatcher::~GuiDispatcher() {
    notifier_.reset();
    ::close(wakeFd_);
}

void GuiDispatcher::Post(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    const std::uint64_t one = 1;
    // A full counter (never reached in practice) still leaves the fd readable.
    [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof(one));
}

// Compared by id: asking Qt for the current thread would adopt a foreign one.
bool GuiDispatcher::OnGuiThread() const {
    return std::this_thread::get_id() == guiThread_;
}

void GuiDispatcher::OnWoken() {
    std::uint64_t count = 0;
    [[maybe_unused]] const auto read = ::read(wakeFd_, &count, sizeof(count));
    RunPending();
}

int GuiDispatcher::RunPending() {
    int ran = 0;
    for (;;) {
        std::function<void()> job;
        {
            std::lock_guard lock(mutex_);
            if (jobs_.empty()) {
                return ran;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
        ++ran;
    }
}

}  // namespace quillon::gui
