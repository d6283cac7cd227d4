#include "link/TransportFactory.h"
#include "link/win32/SerialPort.h"
#include "link/win32/TcpSocket.h"

namespace netsetup {

namespace {

// COM ports through the comm API and Winsock 2 sockets.
class Win32TransportFactory final : public TransportFactory {
 public:
  std::unique_ptr<Transport> openSerial(const std::string& device, int32_t baud) override {
    return SerialPort::open(device, baud);
  }
  TcpConnectResult connectTcp(const Ipv4Octets& address, uint16_t port) override {
    return TcpSocket::connect(address, port);
  }
};

}  // namespace

std::unique_ptr<TransportFactory> makePlatformTransportFactory() { return std::make_unique<Win32TransportFactory>(); }

}  // namespace netsetup
