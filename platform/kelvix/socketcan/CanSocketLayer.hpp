// The few socket calls the socketcan backend makes, behind an interface so
// that tests can play a full transmit queue or a failing interface without
// the kernel. Statuses are 0 or the errno value of the failed call.
//
// Threading: calls on different sockets may come from different threads, and
// one socket may be read on one thread while it is written on another.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/kelvix/socketcan/SocketCanFrame.hpp"

namespace kelvix {

class CanSocketLayer {
  public:
    virtual ~CanSocketLayer() = default;

    /// Opens a non-blocking raw CAN socket bound to `interfaceName`. Returns
    /// the socket (>= 0), or -1 with `error` saying which step failed and why.
    virtual int Open(const std::string& interfaceName, std::string& error) = 0;
    virtual void Close(int socket) = 0;
    /// Queues one frame without blocking: 0, EAGAIN / ENOBUFS when the
    /// transmit queue is full, or another errno value.
    virtual int Send(int socket, const SocketCanFrame& frame) = 0;
    /// Takes one waiting frame without blocking: 0, EAGAIN when none waits,
    /// or another errno value.
    virtual int Take(int socket, SocketCanFrame& frame) = 0;
    /// Waits up to `waitMs` for a frame to read; true when one is there.
    virtual bool WaitReadable(int socket, std::int32_t waitMs) = 0;
    /// Waits up to `waitMs` for room to send; true when the socket says so.
    virtual bool WaitWritable(int socket, std::int32_t waitMs) = 0;

    /// "" when raw CAN sockets can be made on this system, otherwise why not.
    virtual std::string Availability() = 0;
    /// Names of the system's CAN network interfaces, sorted.
    virtual std::vector<std::string> CanInterfaces() = 0;
};

}  // namespace kelvix
