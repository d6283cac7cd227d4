#pragma once
#include <cstdint>

#include "link/SocketDevice.h"
#include "link/win32/Handles.h"

namespace netsetup {

// A non-blocking IPv4 TCP socket on Winsock 2: the system calls under TcpLine.
class TcpSocket final : public SocketDevice {
 public:
  explicit TcpSocket(UniqueSocket socket) : socket_(std::move(socket)) {}

  Result<void, SocketFailure> connect(const Ipv4Octets& address, uint16_t port, const Deadline& deadline) override;
  void setNoDelay() override;
  Received receive(uint8_t* into, size_t room) override;
  size_t send(const uint8_t* bytes, size_t count) override;
  InputWait waitForInput(const Deadline& deadline) override;

 private:
  UniqueSocket socket_;
};

}  // namespace netsetup
