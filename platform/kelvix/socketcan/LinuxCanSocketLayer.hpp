// The socket layer on the Linux kernel's raw CAN sockets.
#pragma once

#include "platform/kelvix/socketcan/CanSocketLayer.hpp"

namespace kelvix {

class LinuxCanSocketLayer final : public CanSocketLayer {
  public:
    int Open(const std::string& interfaceName, std::string& error) override;
    void Close(int socket) override;
    int Send(int socket, const SocketCanFrame& frame) override;
    int Take(int socket, SocketCanFrame& frame) override;
    bool WaitReadable(int socket, std::int32_t waitMs) override;
    bool WaitWritable(int socket, std::int32_t waitMs) override;
    std::string Availability() override;
    std::vector<std::string> CanInterfaces() override;
};

}  // namespace kelvix
