#include "link/SerialPort.h"
#include "link/TcpSocket.h"
#include "link/TransportFactory.h"

namespace netsetup {

std::unique_ptr<Transport> PosixTransportFactory::openSerial(const std::string& device, int32_t baud) {
  return SerialPort::open(device, baud);
}

TcpConnectResult PosixTransportFactory::connectTcp(const Ipv4Octets& address, uint16_t port) {
  return TcpSocket::connect(address, port);
}

}  // namespace netsetup
