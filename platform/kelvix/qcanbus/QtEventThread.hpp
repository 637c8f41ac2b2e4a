// Where the Qt SerialBus devices live: their sockets and timers need a Qt
// event loop, and the library's callers (the UI thread, the receive thread,
// tools without Qt) may have none.
//
// With a QCoreApplication in the process (the GUI, or a tool's main() run
// through RunWithQtEventLoop) the devices live on the application's thread.
// Without one, a thread of its own creates one and runs the loop; at program
// exit it deletes the devices and parks, so that Qt's statics, destroyed on
// the exiting thread afterwards, never race a running loop.
#pragma once

#include <QEventLoop>
#include <QObject>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace kelvix {

class QtEventThread {
  public:
    /// The process's Qt thread, set up on first use.
    static QtEventThread& Instance();

    /// Runs `work` on the Qt thread and waits for it. Returns false, without
    /// running it, after Shutdown. Safe from any thread, the Qt thread included.
    bool Call(const std::function<void()>& work);
    /// Waits `duration`. On the Qt thread the wait runs its events (not user
    /// input), so the devices keep connecting and sending while the GUI's
    /// thread waits for them; elsewhere it sleeps.
    void Pause(std::chrono::milliseconds duration);
    /// Parent for objects that must live on the Qt thread.
    QObject* Root() const { return root_; }
    /// Refuses further calls once those under way have finished.
    void Shutdown();
    /// Makes the own loop end, at exit, before the statics `plugin` has made
    /// so far are destroyed: they live on the Qt thread (virtualcan's bus
    /// server and its sockets), and a loop still running while the exiting
    /// thread destroys them crashes. Call once the plugin's first device has
    /// connected; later calls for the same plugin do nothing.
    void StopBeforeStaticsOf(const std::string& plugin);

  private:
    QtEventThread();
    void RunOwnLoop();
    void StopOwnLoop();

    std::mutex mutex_;
    std::condition_variable changed_;
    bool running_ = false;
    int callsUnderWay_ = 0;
    QObject* root_ = nullptr;
    QEventLoop* loop_ = nullptr;  ///< the own loop, when there is no application
    bool ownLoop_ = false;
    bool ownLoopEnded_ = false;
    std::set<std::string> pluginsWithStatics_;
    std::thread thread_;
};

}  // namespace kelvix
