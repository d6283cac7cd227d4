#pragma once
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "actions/Actions.h"
#include "cli/CliOptions.h"
#include "cli/Trace.h"
#include "link/Umod07.h"
#include "netblock/NetworkSettings.h"
#include "netblock/SettingsTransfer.h"
#include "text/Result.h"

namespace netsetup::cli {

// Where the tool writes: results to `out`, everything else (errors, progress, the trace) to `err`.
struct Io {
  std::ostream& out;
  std::ostream& err;
};

// What starts every line the tool prints about a failure.
inline constexpr std::string_view kComplaintPrefix = "netsetup-cli: ";

// The complaints in what a step printed, without the program's name, on one line joined by " / ":
// for a report cell or a JSON message.
std::string complaintsIn(const std::string& printed);

// Prints `line` as the tool's complaint and returns `exit`, so a step can end with it.
int complain(Io io, int exit, const std::string& line);

// How to reach one instrument: the window's link choice and the network address.
struct Target {
  LinkChoice choice;
  uint8_t address = 1;
  std::string description;  // "COM3 (/dev/ttyUSB2) at 9600 baud", "TCP 10.0.0.5:10001"
  std::string arguments;    // the link options that reach it again: "--tcp 10.0.0.5 --address 5"
};

// The link options, over a window settings file when one is named; `link`'s port map receives
// the file's [Ports] and a device path given with --serial. Fails, in one line, when the
// settings file cannot be read or names no usable TCP host.
Result<Target> resolveTarget(const LinkOptions& options, Tmod07& link);

// One conversation with one instrument, each step printing its own failure as one clear line
// (with the system's reason for a link that did not open) and returning the exit status for
// it, kExitOk when it went through. A stop asked for through the link's stop check ends the
// step at the next exchange boundary with kExitInterrupted. The link is closed when the session
// ends.
class Session {
 public:
  Session(Tmod07& link, Io io, const Target& target, bool trace);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  const Target& target() const { return target_; }
  const std::string& type() const { return type_; }

  int open();      // opens the link
  int identify();  // asks the type at address 0; anything but VRN-207K fails
  int connect() {
    const int opened = open();
    return opened != 0 ? opened : identify();
  }
  int readArea(SettingsArea& area);
  // Open, identify and read: how every command that needs the area starts.
  int connectAndRead(SettingsArea& area) {
    const int connected = connect();
    return connected != 0 ? connected : readArea(area);
  }
  // kExitInterrupted, said, when a stop was asked for; before anything is written.
  int stopPoint();
  // Writes bytes 0..194; a failure or a stop names the chunks written, unconfirmed and not
  // sent, and `backupPath`. `outcome`, when given, receives how far the write went.
  int writeArea(const SettingsArea& area, const std::string& backupPath, TransferResult* outcome = nullptr);
  // Reads the area again and compares what was written; a difference names the fields.
  int verify(const SettingsArea& written);

  void close() { link_.Close(); }

 private:
  int fail(int exit, const std::string& line);
  int readFailed(const TransferFailure& read);

  Tmod07& link_;
  Io io_;
  Target target_;
  std::unique_ptr<Trace> trace_;
  std::string type_;
};

// "chunk 4 of 5 was sent but not confirmed (code 2: no answer in time); chunks 1-3 are written
// and confirmed; chunk 5 was not sent"; interrupted: "chunks 1-3 are written and confirmed;
// chunks 4-5 were not sent".
std::string writeFailureText(const TransferFailure& failure);

// The fields (and other bytes) in which two areas differ, by name: "server_port, byte 200".
std::string differingBytes(const SettingsArea& a, const SettingsArea& b, size_t count);

}  // namespace netsetup::cli
