#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <vector>

#include "link/Sleeper.h"
#include "link/Transport.h"
#include "link/TransportFactory.h"

namespace netsetup::fake {

// A scripted instrument behind a serial line: answers read and write requests from 64 KiB of
// memory and records every request it receives (retries included).
struct FakeInstrument {
  struct Request {
    uint8_t networkAddress;
    uint8_t group;
    uint16_t memoryAddress;
    uint8_t count;  // bytes asked for (read) or carried (write)
    bool operator==(const Request&) const = default;
  };

  std::array<uint8_t, 65536> memory{};
  std::vector<Request> requests;
  size_t silentFrom = std::numeric_limits<size_t>::max();  // 0-based request index
  uint8_t writeAnswerLength = 0;  // data bytes (0xEE) in the answer to a write
  std::deque<uint8_t> pending;

  void receive(const uint8_t* frame, size_t length);
  // Requests with consecutive repeats (the link's retries) folded into one.
  std::vector<Request> distinctRequests() const;
};

class FakeSerialLine final : public Transport {
 public:
  explicit FakeSerialLine(FakeInstrument& instrument) : instrument_(instrument) {}
  bool isTcp() const override { return false; }
  void purge() override { instrument_.pending.clear(); }
  size_t send(const uint8_t* bytes, size_t count) override;
  bool readByte(uint8_t& byte) override;
  void close() override {}

 private:
  FakeInstrument& instrument_;
};

class FakeFactory final : public TransportFactory {
 public:
  explicit FakeFactory(FakeInstrument& instrument) : instrument_(instrument) {}
  std::unique_ptr<Transport> openSerial(const std::string&, int32_t) override;
  TcpConnectResult connectTcp(const Ipv4Octets&, uint16_t) override;

 private:
  FakeInstrument& instrument_;
};

class CountingSleeper final : public Sleeper {
 public:
  void sleepMs(unsigned) override { ++sleeps; }
  unsigned sleeps = 0;
};

}  // namespace netsetup::fake
