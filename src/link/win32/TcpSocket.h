#pragma once
#include <chrono>
#include <cstdint>

#include "link/Transport.h"
#include "link/TransportFactory.h"
#include "link/win32/WinApi.h"
#include "text/Ipv4Text.h"

namespace netsetup {

// A non-blocking IPv4 TCP connection on Winsock 2 with the Nagle delay off.
class TcpSocket final : public Transport {
 public:
  static constexpr std::chrono::milliseconds kConnectTimeout{20000};

  // StatusOk with a connected transport; ErrNetInit when Winsock does not start; ErrNoSocket
  // without a transport; ErrConnect with a transport still holding the socket, so the link's
  // Close is what releases it. `error`, when given, receives the Winsock error of a failure
  // (0: the time ran out).
  static TcpConnectResult connect(const Ipv4Octets& address, uint16_t port,
                                  std::chrono::milliseconds timeout = kConnectTimeout, int* error = nullptr);

  ~TcpSocket() override;
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  bool isTcp() const override { return true; }
  void purge() override;  // drops what has arrived; send() does so itself first
  size_t send(const uint8_t* bytes, size_t count) override;
  bool readByte(uint8_t& byte) override;
  void idle(unsigned ms, Sleeper& sleeper) override;
  void close() override;

  bool peerClosed() const { return peerClosed_; }

 private:
  explicit TcpSocket(SOCKET socket) : socket_(socket) {}

  SOCKET socket_ = INVALID_SOCKET;
  bool peerClosed_ = false;  // end of stream or a reset seen: the socket now reads as ready for ever
};

}  // namespace netsetup
