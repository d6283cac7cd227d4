#pragma once
// A scripted stand-in for a serial port or TCP connection, and a sleeper that only counts, so
// the link's poll and pause arithmetic is checked exactly without waiting.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/CountingSleeper.h"
#include "link/Transport.h"
#include "link/TransportFactory.h"

namespace netsetup::testing {

// What the line does, shared between the test and the transport the link owns.
struct LineState {
  std::deque<std::optional<uint8_t>> incoming;  // one entry per poll: a byte or a silent poll
  std::function<void(const std::vector<uint8_t>&)> onSend;  // e.g. queue an answer
  size_t sendShortBy = 0;                                   // report that many bytes fewer
  std::deque<size_t> dropped;  // what each purge reports it dropped (0 when none is scripted)

  std::vector<std::vector<uint8_t>> sent;
  int purges = 0, polls = 0, idles = 0, closes = 0;

  void queue(const std::vector<uint8_t>& bytes) {
    for (uint8_t b : bytes) incoming.emplace_back(b);
  }
  void queueSilence(int polls) {
    for (int i = 0; i < polls; ++i) incoming.emplace_back(std::nullopt);
  }
};

class ScriptedLine final : public Transport {
 public:
  explicit ScriptedLine(std::shared_ptr<LineState> state) : state_(std::move(state)) {}
  size_t purge() override {
    ++state_->purges;
    if (state_->dropped.empty()) return 0;
    const size_t count = state_->dropped.front();
    state_->dropped.pop_front();
    return count;
  }
  size_t send(const uint8_t* bytes, size_t count) override {
    state_->sent.emplace_back(bytes, bytes + count);
    if (state_->onSend) state_->onSend(state_->sent.back());
    return count > state_->sendShortBy ? count - state_->sendShortBy : 0;
  }
  bool readByte(uint8_t& byte) override {
    ++state_->polls;
    if (state_->incoming.empty()) return false;
    auto next = state_->incoming.front();
    state_->incoming.pop_front();
    if (!next) return false;
    byte = *next;
    return true;
  }
  void idle(unsigned ms, Sleeper& sleeper) override {
    ++state_->idles;
    Transport::idle(ms, sleeper);
  }
  void close() override { ++state_->closes; }

 private:
  std::shared_ptr<LineState> state_;
};

class ScriptedFactory final : public TransportFactory {
 public:
  std::shared_ptr<LineState> line = std::make_shared<LineState>();
  bool serialFails = false;
  std::deque<SerialOpenFailure> serialFailuresFirst;  // refusals handed out before any other outcome
  int32_t tcpStatus = 0;
  std::vector<std::string> openedDevices;
  std::vector<int32_t> openedBauds;
  std::vector<std::pair<Ipv4Octets, uint16_t>> connects;

  Result<std::unique_ptr<Transport>, SerialOpenFailure> openSerial(const std::string& device, int32_t baud) override {
    openedDevices.push_back(device);
    openedBauds.push_back(baud);
    if (!serialFailuresFirst.empty()) {
      SerialOpenFailure failure = std::move(serialFailuresFirst.front());
      serialFailuresFirst.pop_front();
      return failure;
    }
    if (serialFails) return SerialOpenFailure{};
    return std::unique_ptr<Transport>(std::make_unique<ScriptedLine>(line));
  }
  // A failed connect hands over its socket too, as the real one does.
  TcpConnection connectTcp(const Ipv4Octets& address, uint16_t port) override {
    connects.emplace_back(address, port);
    std::unique_ptr<Transport> socket = std::make_unique<ScriptedLine>(line);
    if (tcpStatus != 0) return {ConnectFailure{tcpStatus, {}}, std::move(socket)};
    return {std::move(socket), nullptr};
  }
};

}  // namespace netsetup::testing
