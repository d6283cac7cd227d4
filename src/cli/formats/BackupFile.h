#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/formats/Crc32.h"
#include "netblock/NetworkSettings.h"
#include "text/Result.h"

namespace netsetup::cli {

// A copy of an instrument's 200-byte settings area as text: a person can read it, a diff tool
// can compare two, and a CRC-32 over the content refuses a file that was edited or damaged.
struct Backup {
  std::string type;     // the identification text, e.g. "VRN-207K"
  uint8_t address = 0;  // the network address it was read from
  std::string timeUtc;  // "2026-12-07T11:22:33Z"
  SettingsArea area{};
  // Where it was read: the line ("10.20.0.11:10001", "/dev/ttyUSB0") and the instrument's name
  // when one was given. Empty in backups made before these were recorded.
  std::string link = {};
  std::string name = {};

  bool operator==(const Backup&) const = default;
};

// The file's text (LF line ends). `decoded` is shown in comment lines for the reader only,
// the password as ***; those lines are ignored when the file is read back.
std::string formatBackup(const Backup& backup, const NetworkFields& decoded);

// Whether a text is meant as a backup (it starts as formatBackup starts one), damaged or not.
bool looksLikeBackup(std::string_view text);

// The CRC-32 of type, address (decimal) and time, each followed by "\n", then (when either is
// known) "link=<link>\nname=<name>\n", then the area bytes.
uint32_t backupCheck(const Backup& backup);

// Reads a backup written by formatBackup. Accepts CRLF or CR line ends (the check covers the
// values, not the bytes between them), a UTF-8 byte-order mark, blank lines and '#' comments; refuses anything else out of place and a failed check, in one
// line naming the problem and, where there is one, the line number.
Result<Backup> parseBackup(std::string_view text);

}  // namespace netsetup::cli
