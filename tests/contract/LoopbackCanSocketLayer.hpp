// A socket layer that behaves like the kernel's virtual CAN interfaces
// (vcan): a frame sent on a socket reaches every other socket bound to the
// same interface, never the sender's own; waits are real waits for such a
// frame. Unlike the scripted layer of the socketcan suite it needs no script,
// so adapters over it talk to each other as they would over vcan0.
#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/kelvix/socketcan/CanSocketLayer.hpp"

namespace quillon::test {

class LoopbackCanSocketLayer final : public kelvix::CanSocketLayer {
  public:
    /// `interfaces` exist; opening any other fails as it does without the interface.
    explicit LoopbackCanSocketLayer(std::set<std::string> interfaces);

    /// Sends on `interfaceName` go through `frames` more times, then fail with
    /// ENETDOWN, as on an interface taken down.
    void FailSendsAfter(const std::string& interfaceName, std::size_t frames);

    int Open(const std::string& interfaceName, std::string& error) override;
    void Close(int socket) override;
    int Send(int socket, const kelvix::SocketCanFrame& frame) override;
    int Take(int socket, kelvix::SocketCanFrame& frame) override;
    bool WaitReadable(int socket, std::int32_t waitMs) override;
    bool WaitWritable(int socket, std::int32_t waitMs) override;
    std::string Availability() override { return {}; }
    std::vector<std::string> CanInterfaces() override;

  private:
    struct Socket {
        std::string interfaceName;
        std::deque<kelvix::SocketCanFrame> incoming;
        bool open = true;
    };

    std::set<std::string> interfaces_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Socket> sockets_;  // index = socket number; a deque keeps them in place
    std::map<std::string, std::size_t> sendsLeft_;
};

}  // namespace quillon::test
