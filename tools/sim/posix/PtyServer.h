#pragma once
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "InstrumentBus.h"
#include "LineTiming.h"
#include "RequestParser.h"
#include "StopSignal.h"
#include "text/Result.h"

namespace netsetup {

// The instrument behind a pseudo-terminal: the tool opens the slave side as if it were a serial
// port, as often as it likes. The server keeps a slave descriptor of its own, so the line never
// hangs up between clients, and lifts the exclusive-use flag each client sets once it closes.
// With a strict rate, it hears a client only while the client's line is set to the timing's baud.
class PtyServer {
 public:
  explicit PtyServer(InstrumentBus& bus, LineTiming timing = {});
  ~PtyServer();
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;

  // Creates the pseudo-terminal in raw mode and, unless `linkPath` is empty, a symlink there to
  // the slave (replacing an older symlink, never another kind of file).
  Result<void> open(const std::string& linkPath);
  const std::string& slavePath() const { return slavePath_; }
  const std::string& linkPath() const { return linkPath_; }

  // Serves on a background thread until stop(); stop() also removes the link.
  void start();
  void stop();

  // The timing for answers still to come, e.g. a test's line that recovers between two actions.
  void setTiming(const LineTiming& timing);

 private:
  void serve();
  void handleInput(RequestParser& parser);
  bool handleDeviceEvents();
  bool lineRateMatches(const LineTiming& timing);
  LineTiming timing() const;
  void release();

  InstrumentBus& bus_;
  mutable std::mutex timingMutex_;
  LineTiming timing_;
  StopSignal stop_;
  std::thread thread_;
  int master_ = -1;
  int slave_ = -1;
  int watch_ = -1;  // inotify: the slave's opens and closes
  std::optional<unsigned> noiseRate_;  // the client's rate while a burst of its bytes is taken as noise
  std::string slavePath_;
  std::string linkPath_;
};

}  // namespace netsetup
