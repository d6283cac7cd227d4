// netsetup-cli's command line: any argument vector (the input split at zero bytes).
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "actions/Actions.h"
#include "cli/Arguments.h"
#include "cli/CommandTable.h"

using namespace netsetup;
using namespace netsetup::cli;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args;
  if (size > 0) {
    args.emplace_back();
    for (size_t i = 0; i < size; ++i) {
      if (data[i] == 0) args.emplace_back();
      else args.back() += static_cast<char>(data[i]);
    }
  }
  const Result<CliOptions, UsageError> parsed = parseArguments(args);
  const Result<CliOptions, UsageError> again = parseArguments(args);
  FUZZ_CHECK(again.ok() == parsed.ok() && (parsed || again.failure().message == parsed.failure().message),
             "the same line gives the same verdict");
  if (!parsed) {
    FUZZ_CHECK(!fuzz::hasControlByte(parsed.failure().message), "a usage error is one clean line");
    return 0;
  }

  const CliOptions& o = *parsed;
  const bool named = findCommand(o.command) != nullptr;
  if (o.help || o.version) {
    FUZZ_CHECK(o.command.empty() || named, "help names no unknown command");
    return 0;
  }
  // An accepted line is one the commands can run without judging it again.
  FUZZ_CHECK(named, "an accepted command is a known one");
  FUZZ_CHECK(o.link.serial.empty() || o.link.tcpHost.empty(), "one link at most");
  FUZZ_CHECK(!o.link.baud || o.link.tcpHost.empty(), "a rate only with a serial link");
  if (o.link.baud) {
    FUZZ_CHECK(std::find(BaudRates.begin(), BaudRates.end(), *o.link.baud) != BaudRates.end(), "a known rate");
  }
  if (!o.link.serial.empty() && o.link.serial.find('/') == std::string::npos && !o.link.serial.starts_with("\\\\.\\")) {
    const std::string digits = o.link.serial.substr(3);
    FUZZ_CHECK(o.link.serial.starts_with("COM") && !digits.empty() && digits.size() <= 2 && digits[0] != '0' &&
                   std::stoi(digits) >= 1 && std::stoi(digits) <= 16,
               "a COM port is COM1..COM16 in upper case");
  }
  if (o.addresses) {
    FUZZ_CHECK(o.addresses->first >= 0 && o.addresses->first <= o.addresses->second && o.addresses->second <= 255,
               "an address range lies in 0..255");
  }
  std::set<std::string> names;
  for (const auto& [name, value, origin] : o.sets) {
    FUZZ_CHECK(canonicalFieldName(name) == std::string_view(name), "--set names a canonical field");
    FUZZ_CHECK(names.insert(name).second, "--set names a field once");
  }
  const std::string& c = o.command;
  // backup without FILE saves into the backups folder.
  if (c == "restore" || c == "diff" || c == "batch") FUZZ_CHECK(!o.file.empty(), "its FILE is given");
  if (c == "write") FUZZ_CHECK(!o.file.empty() || !o.sets.empty(), "write has something to write");
  if (c == "batch") FUZZ_CHECK(!o.report.empty(), "batch has its report");
  if (c == "identify" || c == "read" || c == "scan") FUZZ_CHECK(o.file.empty(), "no stray argument");
  return 0;
}
