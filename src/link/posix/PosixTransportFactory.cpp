#include "link/TransportFactory.h"
#include "link/posix/SerialPort.h"
#include "link/posix/TcpSocket.h"

namespace netsetup {

namespace {

// termios serial ports and POSIX sockets.
class PosixTransportFactory final : public TransportFactory {
 public:
  std::unique_ptr<Transport> openSerial(const std::string& device, int32_t baud) override {
    return SerialPort::open(device, baud);
  }
  TcpConnectResult connectTcp(const Ipv4Octets& address, uint16_t port) override {
    return TcpSocket::connect(address, port);
  }
};

}  // namespace

std::unique_ptr<TransportFactory> makePlatformTransportFactory() { return std::make_unique<PosixTransportFactory>(); }

}  // namespace netsetup
