#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/formats/FieldNames.h"
#include "cli/formats/Formats.h"
#include "text/Result.h"

namespace netsetup::cli {

// How to reach the instrument; an empty text or an empty optional was not given.
struct LinkOptions {
  std::string serial;               // "COM1".."COM16" (upper case), or a device path as given
  std::optional<int32_t> baud;      // one of BaudRates
  std::string tcpHost;              // dotted IPv4, as given
  std::optional<uint16_t> tcpPort;  // from --tcp HOST:PORT
  std::string settingsFile;         // a window settings file to take the link from
  std::optional<uint8_t> address;   // the instrument's network address
  bool trace = false;
  unsigned waitSeconds = 60;        // for a serial port another netsetup-cli holds
  std::optional<uint32_t> timeoutMs;  // --timeout: the wait for each answer's first byte
};

struct CliOptions {
  std::string command;  // a command of cli/CommandTable, or empty with help or version
  LinkOptions link;
  bool help = false;
  bool version = false;
  OutputFormat format = OutputFormat::Table;
  std::string output;  // -o FILE
  bool showPassword = false;
  std::string file;    // the command's argument: SHEET, FILE or WORKLIST
  std::string templateSheet;  // --template SHEET: values every instrument shares; file's win
  FieldOverlay sets;   // --set NAME=VALUE, canonical names, in the order given
  std::string backup;     // --backup FILE
  std::string backupDir;  // --backup-dir DIR
  std::string name;       // --name NAME: the instrument's, for its records
  std::string log;        // --log FILE: the log of writes
  std::string since;      // log --since TIME
  bool verify = true;
  bool force = false;
  bool broadcast = false;  // a write to address 0, which every instrument hears, is meant
  bool check = false;     // apply --check: compare only
  bool showDiff = false;  // apply --diff
  bool json = false;      // apply --json
  std::optional<std::pair<int, int>> addresses;  // scan --addresses A-B
  std::string report;                            // batch --report FILE
};

}  // namespace netsetup::cli
