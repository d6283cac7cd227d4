#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/LinkTexts.h"
#include "link/Transport.h"
#include "text/Ipv4Text.h"
#include "text/Result.h"

namespace netsetup {

// Why a TCP connection was not made: the Status the channel reports for it (ErrNetInit,
// ErrNoSocket or ErrConnect), and what the system said with what to do about it, a line or a
// few (empty when nothing is known).
struct ConnectFailure {
  int32_t status = 0;
  Bilingual explanation;
};

// A connection attempt. The channel's rule: a connect that fails keeps the socket it made until
// Close disposes of it, so besides the Result the attempt hands over that socket as `leftover`
// (null after a success, and when no socket was made).
struct TcpConnection {
  Result<std::unique_ptr<Transport>, ConnectFailure> line;
  std::unique_ptr<Transport> leftover;
};

// A serial port another program holds: the programs' names where the system tells them (Linux,
// as far as this user may look), none where it does not (Windows).
struct PortInUse {
  std::optional<std::vector<std::string>> programs;
};

// Why a serial port did not open: what went wrong and what to do about it, a line or a few (empty
// when nothing is known); and, when another program holds the port, that.
struct SerialOpenFailure {
  Bilingual explanation;
  std::optional<PortInUse> inUse = std::nullopt;
};

// Opens the real lines. Tests hand Tmod07 a factory of scripted fakes instead.
class TransportFactory {
 public:
  virtual ~TransportFactory() = default;
  // Fails when the device does not exist or cannot be opened exclusively; the failure says so in
  // the operating system's words and with what to do about it.
  virtual Result<std::unique_ptr<Transport>, SerialOpenFailure> openSerial(const std::string& device,
                                                                          int32_t baud) = 0;
  virtual TcpConnection connectTcp(const Ipv4Octets& address, uint16_t port) = 0;
};

// The platform's real serial ports and sockets (src/link/posix or src/link/win32).
std::unique_ptr<TransportFactory> makePlatformTransportFactory();

}  // namespace netsetup
