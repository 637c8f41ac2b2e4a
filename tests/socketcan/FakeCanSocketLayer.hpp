// A socket layer without the kernel: scripted send statuses (a full queue, a
// dead interface), prepared incoming frames, and waits that advance a fake
// clock instead of blocking.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/kelvix/socketcan/CanSocketLayer.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::test {

class FakeCanSocketLayer final : public kelvix::CanSocketLayer {
  public:
    explicit FakeCanSocketLayer(FakeClock& clock) : clock_(clock) {}

    // Script.
    std::string availability;             ///< what Availability() answers
    std::set<std::string> missing;        ///< interfaces whose Open fails
    std::vector<std::string> interfaces;  ///< what CanInterfaces() answers
    std::deque<int> sendStatuses;         ///< next Send results; 0 once empty
    bool writableAfterWait = true;        ///< WaitWritable's answer
    /// Queues a Take result on the socket of `interfaceName` (status 0 = the frame).
    void Incoming(const std::string& interfaceName, kelvix::SocketCanFrame frame, int status = 0);

    // Observation.
    std::vector<std::pair<std::string, kelvix::SocketCanFrame>> sent;  ///< accepted sends
    std::vector<std::string> opened;
    std::vector<std::string> closed;
    std::vector<std::int32_t> readWaits;   ///< WaitReadable's waitMs, in order
    std::vector<std::int32_t> writeWaits;  ///< WaitWritable's waitMs, in order

    int Open(const std::string& interfaceName, std::string& error) override;
    void Close(int socket) override;
    int Send(int socket, const kelvix::SocketCanFrame& frame) override;
    int Take(int socket, kelvix::SocketCanFrame& frame) override;
    bool WaitReadable(int socket, std::int32_t waitMs) override;
    bool WaitWritable(int socket, std::int32_t waitMs) override;
    std::string Availability() override { return availability; }
    std::vector<std::string> CanInterfaces() override { return interfaces; }

  private:
    const std::string& NameOf(int socket) const;

    FakeClock& clock_;
    std::vector<std::string> sockets_;  // index = socket number
    std::map<std::string, std::deque<std::pair<int, kelvix::SocketCanFrame>>> incoming_;
};

}  // namespace quillon::test
