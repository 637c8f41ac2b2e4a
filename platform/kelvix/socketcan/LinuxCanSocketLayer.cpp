#include "platform/kelvix/socketcan/LinuxCanSocketLayer.hpp"

#include <linux/can.h>
#include <linux/can/error.h>
#include <linux/can/raw.h>
#include <net/if.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace kelvix {
namespace {

// Network device type of CAN interfaces in /sys/class/net/*/type.
constexpr int NETDEVICE_TYPE_CAN = 280;

std::string ErrnoText(int error) {
    return std::strerror(error);
}

// Bus-off, controller and transmit time-out conditions arrive as error
// frames, so that they can be reported through the error record.
void RequestErrorFrames(int socket) {
    const can_err_mask_t mask = CAN_ERR_BUSOFF | CAN_ERR_CRTL | CAN_ERR_TX_TIMEOUT;
    ::setsockopt(socket, SOL_CAN_RAW, CAN_RAW_ERR_FILTER, &mask, sizeof(mask));
}

bool WaitFor(int socket, short events, std::int32_t waitMs) {
    pollfd entry{socket, events, 0};
    const int ready = ::poll(&entry, 1, std::max<std::int32_t>(waitMs, 0));
    return ready > 0 && (entry.revents & events) != 0;
}

}  // namespace

int LinuxCanSocketLayer::Open(const std::string& interfaceName, std::string& error) {
    const unsigned int index = ::if_nametoindex(interfaceName.c_str());
    if (index == 0) {
        error = "no network interface \"" + interfaceName + "\" (" + ErrnoText(errno) + ")";
        return -1;
    }
    const int socket = ::socket(PF_CAN, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, CAN_RAW);
    if (socket < 0) {
        error = "cannot create a raw CAN socket (" + ErrnoText(errno) + ")";
        return -1;
    }
    sockaddr_can address{};
    address.can_family = AF_CAN;
    address.can_ifindex = static_cast<int>(index);
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        error = "cannot bind to \"" + interfaceName + "\" (" + ErrnoText(errno) + ")";
        ::close(socket);
        return -1;
    }
    RequestErrorFrames(socket);
    return socket;
}

void LinuxCanSocketLayer::Close(int socket) {
    ::close(socket);
}

int LinuxCanSocketLayer::Send(int socket, const SocketCanFrame& frame) {
    can_frame raw{};
    raw.can_id = frame.canId;
    raw.len = frame.length;
    std::copy(frame.data.begin(), frame.data.end(), raw.data);
    const ssize_t written = ::write(socket, &raw, sizeof(raw));
    if (written == static_cast<ssize_t>(sizeof(raw))) {
        return 0;
    }
    return written < 0 ? errno : EIO;
}

int LinuxCanSocketLayer::Take(int socket, SocketCanFrame& frame) {
    can_frame raw{};
    const ssize_t read = ::read(socket, &raw, sizeof(raw));
    if (read < 0) {
        return errno == EWOULDBLOCK ? EAGAIN : errno;
    }
    if (read != static_cast<ssize_t>(sizeof(raw))) {
        return EIO;
    }
    frame.canId = raw.can_id;
    frame.length = raw.len;
    std::copy(std::begin(raw.data), std::end(raw.data), frame.data.begin());
    return 0;
}

bool LinuxCanSocketLayer::WaitReadable(int socket, std::int32_t waitMs) {
    return WaitFor(socket, POLLIN, waitMs);
}

bool LinuxCanSocketLayer::WaitWritable(int socket, std::int32_t waitMs) {
    return WaitFor(socket, POLLOUT, waitMs);
}

std::string LinuxCanSocketLayer::Availability() {
    const int socket = ::socket(PF_CAN, SOCK_RAW | SOCK_CLOEXEC, CAN_RAW);
    if (socket < 0) {
        return "this system has no raw CAN sockets (" + ErrnoText(errno) +
               "); the can and can_raw kernel modules are needed";
    }
    ::close(socket);
    return {};
}

std::vector<std::string> LinuxCanSocketLayer::CanInterfaces() {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/class/net", error)) {
        std::ifstream typeFile(entry.path() / "type");
        int type = 0;
        if (typeFile >> type && type == NETDEVICE_TYPE_CAN) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace kelvix
