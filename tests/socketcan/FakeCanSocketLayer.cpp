#include "FakeCanSocketLayer.hpp"

#include <cerrno>

namespace quillon::test {

void FakeCanSocketLayer::Incoming(const std::string& interfaceName, kelvix::SocketCanFrame frame,
                                  int status) {
    incoming_[interfaceName].emplace_back(status, frame);
}

int FakeCanSocketLayer::Open(const std::string& interfaceName, std::string& error) {
    if (missing.contains(interfaceName)) {
        error = "no network interface \"" + interfaceName + "\" (No such device)";
        return -1;
    }
    opened.push_back(interfaceName);
    sockets_.push_back(interfaceName);
    return static_cast<int>(sockets_.size() - 1);
}

void FakeCanSocketLayer::Close(int socket) {
    closed.push_back(NameOf(socket));
}

int FakeCanSocketLayer::Send(int socket, const kelvix::SocketCanFrame& frame) {
    int status = 0;
    if (!sendStatuses.empty()) {
        status = sendStatuses.front();
        sendStatuses.pop_front();
    }
    if (status == 0) {
        sent.emplace_back(NameOf(socket), frame);
    }
    return status;
}

int FakeCanSocketLayer::Take(int socket, kelvix::SocketCanFrame& frame) {
    auto& queue = incoming_[NameOf(socket)];
    if (queue.empty()) {
        return EAGAIN;
    }
    const auto [status, next] = queue.front();
    queue.pop_front();
    frame = next;
    return status;
}

bool FakeCanSocketLayer::WaitReadable(int socket, std::int32_t waitMs) {
    readWaits.push_back(waitMs);
    if (!incoming_[NameOf(socket)].empty()) {
        return true;
    }
    clock_.AdvanceMs(static_cast<std::uint64_t>(waitMs));
    return false;
}

bool FakeCanSocketLayer::WaitWritable(int, std::int32_t waitMs) {
    writeWaits.push_back(waitMs);
    if (!writableAfterWait) {
        clock_.AdvanceMs(static_cast<std::uint64_t>(waitMs));
    }
    return writableAfterWait;
}

const std::string& FakeCanSocketLayer::NameOf(int socket) const {
    return sockets_.at(static_cast<std::size_t>(socket));
}

}  // namespace quillon::test
