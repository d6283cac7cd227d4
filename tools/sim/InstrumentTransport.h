#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "Instrument.h"
#include "RequestParser.h"
#include "link/Transport.h"
#include "link/TransportFactory.h"

namespace netsetup {

// A line to an in-process Instrument, for driving Tmod07 without real time: send() hands the
// request to the instrument at once and queues its answer; each readByte() poll takes one
// queued byte, or reports nothing when the queue is empty (the link then times out through
// its sleeper, which a test fakes). Optional latency makes chosen polls come back empty.
class InstrumentTransport final : public Transport {
 public:
  InstrumentTransport(Instrument& instrument, bool tcp) : instrument_(instrument), tcp_(tcp) {}

  size_t purge() override;  // drops unread answer bytes; TCP does so itself on send, as a socket does
  size_t send(const uint8_t* bytes, size_t count) override;
  bool readByte(uint8_t& byte) override;
  void close() override { closed_ = true; }

  // Empty polls before the first byte of an answer, and before every later byte.
  void setLatency(unsigned pollsBeforeAnswer, unsigned pollsBetweenBytes);

  size_t unread() const { return queue_.size(); }
  bool closed() const { return closed_; }

 private:
  Instrument& instrument_;
  bool tcp_;
  bool closed_ = false;
  RequestParser parser_;  // a fresh receiver per connection, as a real line has
  std::deque<uint8_t> queue_;
  unsigned pollsBeforeAnswer_ = 0, pollsBetweenBytes_ = 0, waitPolls_ = 0;
};

// Hands Tmod07 InstrumentTransports. Usage:
//   Instrument instrument;  InstrumentTransportFactory factory(instrument);
//   CountingSleeper sleeper;  Tmod07 link(factory, sleeper);
//   link.SetUseTcp(true); link.SetHost("127.0.0.1"); link.Open(1, 9600);
//   std::string type = link.ReadDeviceType(0);  // "VRN-207K", sleeper.sleeps == 0
// The public fields record what the link asked for and can refuse an open.
class InstrumentTransportFactory final : public TransportFactory {
 public:
  explicit InstrumentTransportFactory(Instrument& instrument) : instrument_(instrument) {}

  Result<std::unique_ptr<Transport>, SerialOpenFailure> openSerial(const std::string& device, int32_t baud) override;
  TcpConnection connectTcp(const Ipv4Octets& address, uint16_t port) override;

  bool refuseSerial = false;                              // openSerial fails, as for a missing device
  bool refuseTcp = false;                                 // connectTcp fails with ErrConnect
  unsigned pollsBeforeAnswer = 0, pollsBetweenBytes = 0;  // latency of new transports

  unsigned opens = 0;
  std::string lastDevice;
  int32_t lastBaud = 0;
  Ipv4Octets lastAddress{};
  uint16_t lastPort = 0;
  // The last transport handed out; owned by the link, valid until the link closes it.
  InstrumentTransport* current = nullptr;

 private:
  std::unique_ptr<InstrumentTransport> make(bool tcp);

  Instrument& instrument_;
};

}  // namespace netsetup
