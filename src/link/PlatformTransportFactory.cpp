#include "link/PlatformLines.h"
#include "link/TcpLine.h"
#include "link/TransportFactory.h"

namespace netsetup {

namespace {

// The platform's serial ports and sockets; a failure is explained for the person at the keyboard.
class PlatformTransportFactory final : public TransportFactory {
 public:
  Result<std::unique_ptr<Transport>, SerialOpenFailure> openSerial(const std::string& device, int32_t baud) override {
    Result<std::unique_ptr<SerialLine>, SerialFailure> port = openSerialPort(device, baud);
    if (!port) return SerialOpenFailure{explainSerialFailure(device, port.failure()), portInUse(device, port.failure())};
    return std::unique_ptr<Transport>(std::move(port).value());
  }
  TcpConnection connectTcp(const Ipv4Octets& address, uint16_t port) override {
    return TcpLine::connect(address, port);
  }
};

}  // namespace

std::unique_ptr<TransportFactory> makePlatformTransportFactory() {
  return std::make_unique<PlatformTransportFactory>();
}

}  // namespace netsetup
