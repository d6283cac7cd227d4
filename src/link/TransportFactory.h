#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "link/Transport.h"
#include "text/Ipv4Text.h"

namespace netsetup {

struct TcpConnectResult {
  int32_t status;                        // StatusOk, ErrNoSocket or ErrConnect
  std::unique_ptr<Transport> transport;  // set on success; after ErrConnect it may hold the
                                         // socket the attempt created, which Close disposes of
};

// Opens the real lines. Tests hand Tmod07 a factory of scripted fakes instead.
class TransportFactory {
 public:
  virtual ~TransportFactory() = default;
  // Null when the device does not exist or cannot be opened exclusively.
  virtual std::unique_ptr<Transport> openSerial(const std::string& device, int32_t baud) = 0;
  virtual TcpConnectResult connectTcp(const Ipv4Octets& address, uint16_t port) = 0;
  // Why the last openSerial or connectTcp failed, in the operating system's words and with
  // what to do about it: a line or a few; empty when it succeeded or nothing is known.
  virtual std::string lastFailure() const { return {}; }
};

// The platform's real serial ports and sockets (src/link/posix or src/link/win32).
std::unique_ptr<TransportFactory> makePlatformTransportFactory();

}  // namespace netsetup
