#pragma once
#include <atomic>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <thread>

#include "InstrumentBus.h"
#include "LineTiming.h"
#include "StopSignal.h"
#include "text/Result.h"

namespace netsetup {

// The instrument behind a TCP port, as a serial-to-Ethernet converter would offer it. Several
// clients are served at once, each on a thread of its own with its own request parser; they all
// reach the same instruments through the bus, which applies their requests in arrival order.
// The transcript shows every connect and every way a connection ends.
class TcpServer {
 public:
  explicit TcpServer(InstrumentBus& bus, LineTiming timing = {}) : bus_(bus), timing_(timing) {}
  ~TcpServer();
  TcpServer(const TcpServer&) = delete;
  TcpServer& operator=(const TcpServer&) = delete;

  // Listens on `host` (dotted IPv4; only that address) and `port` (0 picks a free one).
  Result<void> open(const std::string& host, uint16_t port);
  uint16_t port() const { return port_; }
  std::string endpoint() const { return host_ + ":" + std::to_string(port_); }

  // Serves on a background thread until stop(); stop() closes every connection and the listener.
  void start();
  void stop();

  // The timing for answers still to come, e.g. a test's line that recovers between two actions.
  void setTiming(const LineTiming& timing);

 private:
  struct Client {
    std::thread thread;
    std::atomic<bool> finished{false};
  };

  void serve();
  void startClient(int fd, const std::string& channel);
  void reapClients(bool all);
  // Serves one connection until it ends; returns why it ended, for the transcript.
  std::string serveClient(int fd, const std::string& channel);
  // The timing faults reach only the answers in the faults' scope.
  LineTiming timingFor(const InstrumentResponse& answer) const;

  InstrumentBus& bus_;
  mutable std::mutex timingMutex_;
  LineTiming timing_;
  StopSignal stop_;
  // Raised by a client thread as it ends, so that the accept loop joins it promptly.
  StopSignal clientFinished_;
  std::thread thread_;
  std::list<Client> clients_;  // the accept loop's own; a client thread sets only its `finished`
  int listener_ = -1;
  std::string host_;
  uint16_t port_ = 0;
  unsigned connections_ = 0;
};

}  // namespace netsetup
