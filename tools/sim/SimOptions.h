#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "Faults.h"
#include "LineTiming.h"
#include "link/TcpPort.h"
#include "text/CommandLine.h"
#include "text/Result.h"

namespace netsetup {

// What the command line of netsetup-sim asks for.
struct SimOptions {
  bool help = false;
  bool serveTcp = true;  // on unless only --pty is given
  std::string tcpHost = "127.0.0.1";
  uint16_t tcpPort = kDefaultTcpPort;
  std::string ptyLink;             // empty: no pseudo-terminal
  std::vector<uint8_t> addresses;  // empty: one instrument at address 1
  std::string typeString = "VRN-207K";
  std::string memoryFile;  // initial memory image
  std::string stateFile;   // loaded when present, saved after every write
  std::string logFile;     // empty or "-": stderr
  bool quiet = false;      // no transcript
  Faults faults;
  LineTiming timing;

  bool operator==(const SimOptions&) const = default;
};

// The options as they are read, with what only the whole line tells.
struct SimArguments {
  SimOptions options;
  bool tcpGiven = false;
};

// What netsetup-sim does with each option of its table.
struct SimOptionUse {
  // Takes the option's value (empty for a flag); false when the value is not acceptable.
  std::function<bool(SimArguments&, const std::string& value)> apply;
  // The values that give `options`' setting (one per time the option is given; "" for a flag),
  // none when the option is not needed for it.
  std::function<std::vector<std::string>(const SimOptions& options)> values;
};

using SimOption = Option<SimOptionUse>;

// Every option of netsetup-sim but --version, which the program answers before anything else.
std::span<const SimOption> simOptionTable();

// Accepts "--name value" and "--name=value".
Result<SimOptions> parseSimOptions(const std::vector<std::string>& arguments);

// The arguments that give `options`, in the table's order: what a test or a fault case tells the
// simulator.
std::vector<std::string> simArguments(const SimOptions& options);

std::string simHelpText();

}  // namespace netsetup
