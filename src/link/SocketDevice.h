#pragma once
#include <cstddef>
#include <cstdint>

#include "link/Deadline.h"
#include "link/InputWait.h"
#include "text/Ipv4Text.h"
#include "text/Result.h"

namespace netsetup {

// Why a TCP socket could not be had or connected: the Status the channel reports for it
// (ErrNetInit, ErrNoSocket or ErrConnect) and the system's error (0 when it gave none, or when
// the time ran out).
struct SocketFailure {
  int32_t status = 0;
  int error = 0;
};

// The system calls under a TCP connection, one platform's (src/link/posix, src/link/win32);
// TcpLine holds the rules above them.
class SocketDevice {
 public:
  struct Received {
    size_t count = 0;
    bool ended = false;  // the peer closed the stream or reset it
  };

  virtual ~SocketDevice() = default;

  // Connects to the peer, giving up at `deadline`; fails with ErrConnect.
  virtual Result<void, SocketFailure> connect(const Ipv4Octets& address, uint16_t port, const Deadline& deadline) = 0;

  // Turns the Nagle delay off; a failure only costs latency.
  virtual void setNoDelay() = 0;

  // What has arrived, up to `room` bytes, without waiting.
  virtual Received receive(uint8_t* into, size_t room) = 0;

  // One send call for all the bytes: how many it took.
  virtual size_t send(const uint8_t* bytes, size_t count) = 0;

  // Waits until input arrives or `deadline` passes.
  virtual InputWait waitForInput(const Deadline& deadline) = 0;
};

}  // namespace netsetup
