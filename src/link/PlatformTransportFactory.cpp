#include "link/PlatformLines.h"
#include "link/StatusCode.h"
#include "link/TcpLine.h"
#include "link/TransportFactory.h"

namespace netsetup {

namespace {

// The platform's serial ports and sockets; a failure is explained for the person at the keyboard.
class PlatformTransportFactory final : public TransportFactory {
 public:
  std::unique_ptr<Transport> openSerial(const std::string& device, int32_t baud) override {
    SerialFailure failure;
    std::unique_ptr<Transport> port = openSerialPort(device, baud, &failure);
    lastFailure_ = port ? "" : explainSerialFailure(device, failure);
    return port;
  }
  TcpConnectResult connectTcp(const Ipv4Octets& address, uint16_t port) override {
    int error = 0;
    TcpConnectResult result = TcpLine::connect(address, port, TcpLine::kConnectTimeout, &error);
    lastFailure_ = result.status == StatusOk ? "" : explainTcpFailure(address, port, result.status, error);
    return result;
  }
  std::string lastFailure() const override { return lastFailure_; }

 private:
  std::string lastFailure_;
};

}  // namespace

std::unique_ptr<TransportFactory> makePlatformTransportFactory() {
  return std::make_unique<PlatformTransportFactory>();
}

}  // namespace netsetup
