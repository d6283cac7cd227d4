#pragma once
// A line whose incoming bytes are the fuzz input: each poll takes the next entry, a byte or a
// silent poll; once the script is used up the line stays silent, as an instrument that stopped
// talking does. Sleeps cost nothing, so a run is bounded by polls, not by time.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/Sleeper.h"
#include "link/Transport.h"
#include "link/TransportFactory.h"

namespace netsetup::fuzz {

struct LineScript {
  std::vector<std::optional<uint8_t>> incoming;  // one entry per poll
  size_t next = 0;
  size_t pollsAfterEnd = 0;  // polls made once the script was used up
  size_t sendShortBy = 0;    // report that many bytes fewer sent
  std::vector<std::vector<uint8_t>> sent;

  bool exhausted() const { return next >= incoming.size(); }
};

class ScriptedTransport final : public Transport {
 public:
  explicit ScriptedTransport(std::shared_ptr<LineScript> script) : script_(std::move(script)) {}
  size_t purge() override { return 0; }
  size_t send(const uint8_t* bytes, size_t count) override {
    script_->sent.emplace_back(bytes, bytes + count);
    return count > script_->sendShortBy ? count - script_->sendShortBy : 0;
  }
  bool readByte(uint8_t& byte) override {
    if (script_->exhausted()) {
      ++script_->pollsAfterEnd;
      return false;
    }
    const std::optional<uint8_t> entry = script_->incoming[script_->next++];
    if (entry) byte = *entry;
    return entry.has_value();
  }
  void close() override {}

 private:
  std::shared_ptr<LineScript> script_;
};

class ScriptedTransportFactory final : public TransportFactory {
 public:
  explicit ScriptedTransportFactory(std::shared_ptr<LineScript> script) : script_(std::move(script)) {}
  Result<std::unique_ptr<Transport>, SerialOpenFailure> openSerial(const std::string&, int32_t) override {
    return std::unique_ptr<Transport>(std::make_unique<ScriptedTransport>(script_));
  }
  TcpConnection connectTcp(const Ipv4Octets&, uint16_t) override {
    return {std::unique_ptr<Transport>(std::make_unique<ScriptedTransport>(script_)), nullptr};
  }

 private:
  std::shared_ptr<LineScript> script_;
};

class NoSleeper final : public Sleeper {
 public:
  void sleepMs(unsigned) override {}
};

}  // namespace netsetup::fuzz
