#pragma once
#include <cstddef>
#include <cstdint>

#include "link/Deadline.h"
#include "link/InputWait.h"
#include "text/Ipv4Text.h"

namespace netsetup {

// The system calls under a TCP connection, one platform's (src/link/posix, src/link/win32);
// TcpLine holds the rules above them.
class SocketDevice {
 public:
  struct Received {
    size_t count = 0;
    bool ended = false;  // the peer closed the stream or reset it
  };

  virtual ~SocketDevice() = default;

  // Connects to the peer, giving up at `deadline`: -1 once connected, else the system's error
  // (0 when the time ran out).
  virtual int connect(const Ipv4Octets& address, uint16_t port, const Deadline& deadline) = 0;

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
