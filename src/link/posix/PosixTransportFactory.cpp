#include "link/TransportFactory.h"
#include "link/StatusCode.h"
#include "link/posix/OpenDiagnosis.h"
#include "link/posix/SerialPort.h"
#include "link/posix/TcpSocket.h"

namespace netsetup {

namespace {

// termios serial ports and POSIX sockets; a failure is explained for the person at the keyboard.
class PosixTransportFactory final : public TransportFactory {
 public:
  std::unique_ptr<Transport> openSerial(const std::string& device, int32_t baud) override {
    SerialFailure failure;
    std::unique_ptr<Transport> port = SerialPort::open(device, baud, &failure);
    lastFailure_ = port ? "" : explainSerialFailure(device, failure);
    return port;
  }
  TcpConnectResult connectTcp(const Ipv4Octets& address, uint16_t port) override {
    int error = 0;
    TcpConnectResult result = TcpSocket::connect(address, port, TcpSocket::kConnectTimeout, &error);
    lastFailure_ = result.status == StatusOk ? "" : explainTcpFailure(address, port, error);
    return result;
  }
  std::string lastFailure() const override { return lastFailure_; }

 private:
  std::string lastFailure_;
};

}  // namespace

std::unique_ptr<TransportFactory> makePlatformTransportFactory() { return std::make_unique<PosixTransportFactory>(); }

}  // namespace netsetup
