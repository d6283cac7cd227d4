#pragma once
#include <cstdint>

#include "link/SocketDevice.h"

namespace netsetup {

// A non-blocking IPv4 TCP socket: the system calls under TcpLine.
class TcpSocket final : public SocketDevice {
 public:
  explicit TcpSocket(int fd) : fd_(fd) {}
  ~TcpSocket() override;
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  int connect(const Ipv4Octets& address, uint16_t port, const Deadline& deadline) override;
  void setNoDelay() override;
  Received receive(uint8_t* into, size_t room) override;
  size_t send(const uint8_t* bytes, size_t count) override;
  InputWait waitForInput(const Deadline& deadline) override;

 private:
  int fd_;
};

}  // namespace netsetup
