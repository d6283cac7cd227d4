#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "link/InputBuffer.h"
#include "link/MonotonicClock.h"
#include "link/SocketDevice.h"
#include "link/Transport.h"
#include "link/TransportFactory.h"
#include "text/Ipv4Text.h"

namespace netsetup {

// A TCP connection as the link uses it, on every platform: a frame goes out in one send, after
// the input still waiting was dropped; a poll takes a byte of what has arrived, without waiting;
// the idle time after an empty poll ends when input arrives. The platform's SocketDevice makes
// the calls.
class TcpLine final : public Transport {
 public:
  static constexpr std::chrono::milliseconds kConnectTimeout{20000};

  // A connected line; or ErrNetInit (Windows' socket library did not start) or ErrNoSocket
  // without one; or ErrConnect with a line still holding the socket as the leftover, so the
  // link's Close is what releases it. A failure is explained for the person at the keyboard.
  static TcpConnection connect(const Ipv4Octets& address, uint16_t port,
                               std::chrono::milliseconds timeout = kConnectTimeout);

  explicit TcpLine(std::unique_ptr<SocketDevice> socket, MonotonicClock& clock = systemClock());
  ~TcpLine() override;
  TcpLine(const TcpLine&) = delete;
  TcpLine& operator=(const TcpLine&) = delete;

  size_t purge() override;  // drops what has arrived
  size_t send(const uint8_t* bytes, size_t count) override;
  bool readByte(uint8_t& byte) override;
  void idle(unsigned ms, Sleeper& sleeper) override;
  void close() override;

  bool peerClosed() const { return peerClosed_; }

 private:
  std::unique_ptr<SocketDevice> socket_;  // null once closed
  MonotonicClock& clock_;
  InputBuffer input_;
  bool peerClosed_ = false;  // the stream ended or was reset: the socket now reads as ready for ever
};

}  // namespace netsetup
