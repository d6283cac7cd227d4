#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "link/Transport.h"
#include "text/Ipv4Text.h"
#include "text/Result.h"

namespace netsetup {

// Why a TCP connection was not made: the Status the channel reports for it (ErrNetInit,
// ErrNoSocket or ErrConnect), and what the system said with what to do about it, a line or a
// few (empty when nothing is known).
struct ConnectFailure {
  int32_t status = 0;
  std::string explanation;
};

// A connection attempt. The channel's rule: a connect that fails keeps the socket it made until
// Close disposes of it, so besides the Result the attempt hands over that socket as `leftover`
// (null after a success, and when no socket was made).
struct TcpConnection {
  Result<std::unique_ptr<Transport>, ConnectFailure> line;
  std::unique_ptr<Transport> leftover;
};

// Opens the real lines. Tests hand Tmod07 a factory of scripted fakes instead.
class TransportFactory {
 public:
  virtual ~TransportFactory() = default;
  // Fails when the device does not exist or cannot be opened exclusively; the Failure says so in
  // the operating system's words and with what to do about it, a line or a few (empty when
  // nothing is known).
  virtual Result<std::unique_ptr<Transport>> openSerial(const std::string& device, int32_t baud) = 0;
  virtual TcpConnection connectTcp(const Ipv4Octets& address, uint16_t port) = 0;
};

// The platform's real serial ports and sockets (src/link/posix or src/link/win32).
std::unique_ptr<TransportFactory> makePlatformTransportFactory();

}  // namespace netsetup
