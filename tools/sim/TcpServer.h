#pragma once
#include <cstdint>
#include <string>
#include <thread>

#include "InstrumentBus.h"
#include "LineTiming.h"
#include "StopSignal.h"

namespace netsetup {

// The instrument behind a TCP port, as a serial-to-Ethernet converter would offer it: one
// client at a time, the next one after it hangs up, for ever.
class TcpServer {
 public:
  explicit TcpServer(InstrumentBus& bus, LineTiming timing = {}) : bus_(bus), timing_(timing) {}
  ~TcpServer();
  TcpServer(const TcpServer&) = delete;
  TcpServer& operator=(const TcpServer&) = delete;

  // Listens on `host` (dotted IPv4; only that address) and `port` (0 picks a free one).
  // Returns an error message, empty on success.
  std::string open(const std::string& host, uint16_t port);
  uint16_t port() const { return port_; }
  std::string endpoint() const { return host_ + ":" + std::to_string(port_); }

  // Serves on a background thread until stop(); stop() also closes the listener.
  void start();
  void stop();

 private:
  void serve();
  void serveClient(int client, const std::string& channel);

  InstrumentBus& bus_;
  LineTiming timing_;
  StopSignal stop_;
  std::thread thread_;
  int listener_ = -1;
  std::string host_;
  uint16_t port_ = 0;
  unsigned connections_ = 0;
};

}  // namespace netsetup
