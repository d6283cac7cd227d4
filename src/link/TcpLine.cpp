#include "link/TcpLine.h"

#include "link/PlatformLines.h"
#include "link/Sleeper.h"

namespace netsetup {

TcpConnection TcpLine::connect(const Ipv4Octets& address, uint16_t port, std::chrono::milliseconds timeout) {
  const auto failed = [&](const SocketFailure& failure) {
    return ConnectFailure{failure.status, explainTcpFailure(address, port, failure)};
  };
  Result<std::unique_ptr<SocketDevice>, SocketFailure> opened = openSocket();
  if (!opened) return {failed(opened.failure()), nullptr};
  auto line = std::make_unique<TcpLine>(std::move(opened).value());
  const Result<void, SocketFailure> connected = line->socket_->connect(address, port, Deadline(line->clock_, timeout));
  if (!connected) return {failed(connected.failure()), std::move(line)};
  line->socket_->setNoDelay();
  return {std::unique_ptr<Transport>(std::move(line)), nullptr};
}

TcpLine::TcpLine(std::unique_ptr<SocketDevice> socket, MonotonicClock& clock)
    : socket_(std::move(socket)), clock_(clock) {}

TcpLine::~TcpLine() { close(); }

// Whatever is waiting when a request goes out answers an earlier one, such as an attempt the
// link gave up on as too late; taken for this request's answer it would put a block's bytes
// in the place of the next. The serial line purges for the same reason.
size_t TcpLine::purge() {
  size_t dropped = input_.size();
  input_.clear();
  while (socket_) {
    const SocketDevice::Received got = socket_->receive(input_.space(), input_.room());
    if (got.ended) peerClosed_ = true;
    if (got.count == 0) break;
    dropped += got.count;
  }
  input_.clear();
  return dropped;
}

size_t TcpLine::send(const uint8_t* bytes, size_t count) {
  if (!socket_) return 0;
  return socket_->send(bytes, count);
}

bool TcpLine::readByte(uint8_t& byte) {
  if (input_.take(byte)) return true;
  if (!socket_) return false;
  const SocketDevice::Received got = socket_->receive(input_.space(), input_.room());
  if (got.ended) peerClosed_ = true;
  input_.filled(got.count);
  return input_.take(byte);
}

void TcpLine::idle(unsigned ms, Sleeper& sleeper) {
  const Deadline deadline(clock_, std::chrono::milliseconds(ms));
  // Once the stream has ended the socket reads as ready for ever; only a plain pause paces the
  // polls then. An error without input: the next read finds it; the pause keeps its length.
  if (socket_ && !peerClosed_ && socket_->waitForInput(deadline) != InputWait::Unknown) return;
  if (!deadline.expired()) sleeper.sleepMs(deadline.remainingMs());
}

void TcpLine::close() {
  input_.clear();
  socket_.reset();
}

}  // namespace netsetup
