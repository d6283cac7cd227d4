#include "link/StatusCode.h"
#include "link/TransportFactory.h"
#include "link/win32/OpenDiagnosis.h"
#include "link/win32/SerialPort.h"
#include "link/win32/TcpSocket.h"

namespace netsetup {

namespace {

// COM ports through the comm API and Winsock 2 sockets; a failure is explained for the person
// at the keyboard.
class Win32TransportFactory final : public TransportFactory {
 public:
  std::unique_ptr<Transport> openSerial(const std::string& device, int32_t baud) override {
    SerialPort::Failure failure;
    std::unique_ptr<Transport> port = SerialPort::open(device, baud, systemCommApi(), &failure);
    lastFailure_ = port ? "" : explainComFailure(device, failure.opened, failure.error);
    return port;
  }
  TcpConnectResult connectTcp(const Ipv4Octets& address, uint16_t port) override {
    int error = 0;
    TcpConnectResult result = TcpSocket::connect(address, port, TcpSocket::kConnectTimeout, &error);
    if (result.status == ErrNetInit) {
      lastFailure_ = "The Windows socket library could not be started.";
    } else {
      lastFailure_ = result.status == StatusOk ? "" : explainTcpFailure(address, port, error);
    }
    return result;
  }
  std::string lastFailure() const override { return lastFailure_; }

 private:
  std::string lastFailure_;
};

}  // namespace

std::unique_ptr<TransportFactory> makePlatformTransportFactory() { return std::make_unique<Win32TransportFactory>(); }

}  // namespace netsetup
