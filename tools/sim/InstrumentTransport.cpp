#include "InstrumentTransport.h"

#include "link/StatusCode.h"

namespace netsetup {

size_t InstrumentTransport::purge() {
  const size_t dropped = queue_.size();
  queue_.clear();
  return dropped;
}

size_t InstrumentTransport::send(const uint8_t* bytes, size_t count) {
  if (closed_) return 0;
  if (tcp_) purge();
  for (const RequestFrame& frame : parser_.feed(bytes, count)) {
    const InstrumentResponse response = instrument_.respond(frame);
    if (response.bytes.empty()) continue;
    if (queue_.empty()) waitPolls_ = pollsBeforeAnswer_;
    queue_.insert(queue_.end(), response.bytes.begin(), response.bytes.end());
  }
  return count;
}

bool InstrumentTransport::readByte(uint8_t& byte) {
  if (closed_ || queue_.empty()) return false;
  if (waitPolls_ > 0) {
    --waitPolls_;
    return false;
  }
  byte = queue_.front();
  queue_.pop_front();
  waitPolls_ = pollsBetweenBytes_;
  return true;
}

void InstrumentTransport::setLatency(unsigned pollsBeforeAnswer, unsigned pollsBetweenBytes) {
  pollsBeforeAnswer_ = pollsBeforeAnswer;
  pollsBetweenBytes_ = pollsBetweenBytes;
}

std::unique_ptr<InstrumentTransport> InstrumentTransportFactory::make(bool tcp) {
  auto transport = std::make_unique<InstrumentTransport>(instrument_, tcp);
  transport->setLatency(pollsBeforeAnswer, pollsBetweenBytes);
  current = transport.get();
  ++opens;
  return transport;
}

Result<std::unique_ptr<Transport>, SerialOpenFailure> InstrumentTransportFactory::openSerial(const std::string& device,
                                                                                          int32_t baud) {
  lastDevice = device;
  lastBaud = baud;
  if (refuseSerial) return SerialOpenFailure{};
  return std::unique_ptr<Transport>(make(false));
}

TcpConnection InstrumentTransportFactory::connectTcp(const Ipv4Octets& address, uint16_t port) {
  lastAddress = address;
  lastPort = port;
  if (refuseTcp) return {ConnectFailure{ErrConnect, {}}, nullptr};
  return {std::unique_ptr<Transport>(make(true)), nullptr};
}

}  // namespace netsetup
