#pragma once
#include <cstdint>
#include <string>

#include "actions/Actions.h"
#include "cli/session/CliFailure.h"
#include "cli/console/ShellWords.h"
#include "cli/session/CliOptions.h"
#include "link/Umod07.h"
#include "text/Result.h"

namespace netsetup::cli {

// How to reach one instrument: the window's link choice and the network address.
struct Target {
  LinkChoice choice;
  uint8_t address = 1;
  std::string line;         // the link without its rate: "COM3 (/dev/ttyUSB2)", "TCP 10.0.0.5:10001"
  std::string description;  // "COM3 (/dev/ttyUSB2) at 9600 baud", "TCP 10.0.0.5:10001"
  std::string arguments;    // the link options that reach it again: "--tcp 10.0.0.5 --address 5"
  // The line itself, whatever it was called: the device opened ("/dev/ttyUSB2"), or
  // "10.0.0.5:10001". With the address it names the instrument: two targets with the same
  // `where` and address are one instrument.
  std::string where;
  std::string instrument;  // "<where> address 1"
  unsigned waitSeconds = 60;  // how long to wait for a serial port another netsetup-cli holds
  std::optional<uint32_t> timeoutMs;  // the wait for an answer's first byte, when not the link's own
  std::string hostName;               // a --tcp host given by name, looked up to choice.host
};

// Whether a write may go to the target: address 0 is heard by every instrument on the line, so
// a write there changes all of them, and is refused unless `broadcast` says it is meant.
CliResult<> writableAddress(const Target& target, bool broadcast);

// A link as a file name takes it: "10.0.0.5_10001", "ttyUSB2", "COM3".
std::string linkFileName(const std::string& where);

// The link options, over a window settings file when one is named; `link`'s port map receives
// the file's [Ports] and a device path given with --serial. A --tcp host name is looked up here,
// once (its IPv4 address is what the link connects to, and the description names both). Fails,
// in one line, when the settings file cannot be read or names no usable TCP host (exit 2), or
// the host name has no address (exit 3).
CliResult<Target> resolveTarget(const LinkOptions& options, Tmod07& link);

// The link options that reach the same instrument again, as they were given, with `address`:
// "--tcp 10.0.0.5:10001 --address 5", "--settings 'my netsetup.ini' --serial COM3 --address 1".
std::string linkArguments(const LinkOptions& options, uint8_t address, Shell shell = systemShell());

}  // namespace netsetup::cli
