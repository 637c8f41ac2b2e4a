#include "tests/contract/LoopbackCanSocketLayer.hpp"

#include <cerrno>
#include <chrono>

namespace quillon::test {

LoopbackCanSocketLayer::LoopbackCanSocketLayer(std::set<std::string> interfaces)
    : interfaces_(std::move(interfaces)) {}

void LoopbackCanSocketLayer::FailSendsAfter(const std::string& interfaceName, std::size_t frames) {
    std::lock_guard lock(mutex_);
    sendsLeft_[interfaceName] = frames;
}

int LoopbackCanSocketLayer::Open(const std::string& interfaceName, std::string& error) {
    if (!interfaces_.contains(interfaceName)) {
        error = "no network interface \"" + interfaceName + "\" (No such device)";
        return -1;
    }
    std::lock_guard lock(mutex_);
    sockets_.push_back(Socket{interfaceName, {}, true});
    return static_cast<int>(sockets_.size() - 1);
}

void LoopbackCanSocketLayer::Close(int socket) {
    std::lock_guard lock(mutex_);
    sockets_.at(static_cast<std::size_t>(socket)).open = false;
    arrived_.notify_all();
}

int LoopbackCanSocketLayer::Send(int socket, const kelvix::SocketCanFrame& frame) {
    std::lock_guard lock(mutex_);
    const Socket& sender = sockets_.at(static_cast<std::size_t>(socket));
    if (auto left = sendsLeft_.find(sender.interfaceName); left != sendsLeft_.end()) {
        if (left->second == 0) {
            return ENETDOWN;
        }
        --left->second;
    }
    for (Socket& other : sockets_) {
        if (&other != &sender && other.open && other.interfaceName == sender.interfaceName) {
            other.incoming.push_back(frame);
        }
    }
    arrived_.notify_all();
    return 0;
}

int LoopbackCanSocketLayer::Take(int socket, kelvix::SocketCanFrame& frame) {
    std::lock_guard lock(mutex_);
    auto& incoming = sockets_.at(static_cast<std::size_t>(socket)).incoming;
    if (incoming.empty()) {
        return EAGAIN;
    }
    frame = incoming.front();
    incoming.pop_front();
    return 0;
}

bool LoopbackCanSocketLayer::WaitReadable(int socket, std::int32_t waitMs) {
    std::unique_lock lock(mutex_);
    const Socket& self = sockets_.at(static_cast<std::size_t>(socket));
    arrived_.wait_for(lock, std::chrono::milliseconds(waitMs > 0 ? waitMs : 0),
                      [&] { return !self.incoming.empty() || !self.open; });
    return !self.incoming.empty();
}

bool LoopbackCanSocketLayer::WaitWritable(int, std::int32_t) {
    return true;  // a virtual interface's queue never stays full
}

std::vector<std::string> LoopbackCanSocketLayer::CanInterfaces() {
    return {interfaces_.begin(), interfaces_.end()};
}

}  // namespace quillon::test
