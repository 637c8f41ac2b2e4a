#include "platform/kelvix/qcanbus/QtEventThread.hpp"

#include <QCanBus>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QThread>
#include <QTimer>
#include <cstdlib>
#include <memory>

namespace kelvix {
namespace {

// The plugins announce every connection at info level; a command-line tool
// should not print that unless asked to (QT_LOGGING_RULES).
void QuietPluginChatter() {
    if (std::getenv("QT_LOGGING_RULES") == nullptr) {
        QLoggingCategory::setFilterRules(
            QStringLiteral("qt.canbus*.info=false\n"
                           "qt.canbus*.debug=false"));
    }
}

}  // namespace

QtEventThread& QtEventThread::Instance() {
    // Never destroyed: objects that outlive the loop only find Call refusing.
    static QtEventThread* const instance = new QtEventThread();
    return *instance;
}

QtEventThread::QtEventThread() {
    QuietPluginChatter();
    if (QCoreApplication* application = QCoreApplication::instance()) {
        root_ = new QObject();
        root_->moveToThread(application->thread());
        running_ = true;
        return;
    }
    ownLoop_ = true;
    thread_ = std::thread([this] { RunOwnLoop(); });
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return running_; });
    // Registered after the thread has loaded Qt's own statics, so that it
    // runs before their destructors.
    std::atexit([] { Instance().StopOwnLoop(); });
}

void QtEventThread::RunOwnLoop() {
    static int argc = 1;
    static char name[] = "quillon";
    static char* argv[] = {name, nullptr};
    auto* application = new QCoreApplication(argc, argv);  // lives as long as the process
    (void)application;
    QCanBus::instance()->plugins();
    {
        QEventLoop loop;
        QObject root;
        {
            std::lock_guard lock(mutex_);
            root_ = &root;
            loop_ = &loop;
            running_ = true;
        }
        changed_.notify_all();
        loop.exec();
    }
    std::unique_lock lock(mutex_);
    ownLoopEnded_ = true;
    changed_.notify_all();
    // Parked for good: the process's exit ends the thread.
    changed_.wait(lock, [] { return false; });
}

void QtEventThread::StopOwnLoop() {
    Shutdown();
    std::unique_lock lock(mutex_);
    if (ownLoop_ && !ownLoopEnded_) {
        QMetaObject::invokeMethod(
            root_, [loop = loop_] { loop->quit(); }, Qt::QueuedConnection);
        changed_.wait(lock, [this] { return ownLoopEnded_; });
    }
}

void QtEventThread::StopBeforeStaticsOf(const std::string& plugin) {
    std::lock_guard lock(mutex_);
    // Exit handlers run in reverse order of registration, and a static's
    // destructor is registered when the static is made.
    if (ownLoop_ && pluginsWithStatics_.insert(plugin).second) {
        std::atexit([] { Instance().StopOwnLoop(); });
    }
}

bool QtEventThread::Call(const std::function<void()>& work) {
    {
        std::lock_guard lock(mutex_);
        if (!running_) {
            return false;
        }
        ++callsUnderWay_;
    }
    if (QThread::currentThread() == root_->thread()) {
        work();
    } else {
        QMetaObject::invokeMethod(root_, work, Qt::BlockingQueuedConnection);
    }
    {
        std::lock_guard lock(mutex_);
        --callsUnderWay_;
    }
    changed_.notify_all();
    return true;
}

void QtEventThread::Pause(std::chrono::milliseconds duration) {
    if (root_ == nullptr || QThread::currentThread() != root_->thread()) {
        std::this_thread::sleep_for(duration);
        return;
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (duration.count() > 0) {
        QEventLoop loop;
        QTimer::singleShot(duration, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
}

void QtEventThread::Shutdown() {
    std::unique_lock lock(mutex_);
    running_ = false;
    changed_.wait(lock, [this] { return callsUnderWay_ == 0; });
}

}  // namespace kelvix
