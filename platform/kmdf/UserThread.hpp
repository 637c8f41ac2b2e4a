// The user-mode thread on whose behalf I/O is issued. Requests remember the
// thread that issued them, so a caller can cancel its own I/O on a handle,
// and when a thread that issued I/O ends, its requests still outstanding are
// cancelled and waited for, as the end of a thread does on the real system.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/kmdf/IoOperation.hpp"

namespace kmdf {

/// Cancels the requests of a thread that ends; IoManagers register one.
class ThreadIoCanceller {
  public:
    virtual ~ThreadIoCanceller() = default;
    /// Cancels every request `threadKey` issued that is still outstanding.
    virtual void CancelThreadIo(std::uint64_t threadKey) = 0;
};

class UserThread {
  public:
    /// The calling thread's record, created on first use.
    static UserThread& Current();
    ~UserThread();
    UserThread(const UserThread&) = delete;
    UserThread& operator=(const UserThread&) = delete;

    /// Never 0; not reused while the process runs.
    std::uint64_t Key() const { return key_; }
    /// Remembers `operation` until it is done.
    void Track(const std::shared_ptr<IoOperation>& operation);

    static void Register(ThreadIoCanceller* canceller);
    static void Unregister(ThreadIoCanceller* canceller);

  private:
    UserThread();
    void DropFinished();

    std::uint64_t key_;
    std::size_t pruneAt_ = 64;
    std::vector<std::weak_ptr<IoOperation>> outstanding_;
};

}  // namespace kmdf
