#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Faults.h"
#include "LineTiming.h"

namespace netsetup {

// What the command line of netsetup-sim asks for.
struct SimOptions {
  bool help = false;
  bool serveTcp = true;  // on unless only --pty is given
  std::string tcpHost = "127.0.0.1";
  uint16_t tcpPort = 10001;
  std::string ptyLink;             // empty: no pseudo-terminal
  std::vector<uint8_t> addresses;  // empty: one instrument at address 1
  std::string typeString = "VRN-207K";
  std::string memoryFile;  // initial memory image
  std::string stateFile;   // loaded when present, saved after every write
  std::string logFile;     // empty or "-": stderr
  bool quiet = false;      // no transcript
  Faults faults;
  LineTiming timing;
};

struct SimOptionsResult {
  SimOptions options;
  std::string error;  // empty when the command line is valid
};

// Accepts "--name value" and "--name=value".
SimOptionsResult parseSimOptions(const std::vector<std::string>& arguments);

std::string simHelpText();

}  // namespace netsetup
