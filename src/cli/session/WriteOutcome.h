#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "netblock/HeldArea.h"
#include "netblock/NetworkSettings.h"
#include "netblock/SettingsTransfer.h"

namespace netsetup::cli {

// What a write did to the instrument, as far as anyone can know: filled in as its steps run,
// carried by its success and by the failure of any step from the backup on.
struct WriteOutcome {
  SettingsArea before{};  // the area as read before the write
  SettingsArea wanted{};  // what was to be stored (bytes 0..194 are written)
  std::vector<std::string_view> named;  // the fields the command named; none for a whole area
  std::string backupPath;               // empty until the backup is saved
  TransferResult written = TransferFailure{.interrupted = true};  // nothing sent yet
  HeldArea held = HeldArea::asRead(before);  // what the instrument is known to hold now
  bool verified = false;                      // read back and found as written

  // What became of each field (and other byte, "byte 160") the write was to change, in area
  // order: held as wanted; held as before (not sent); not known (in the chunk sent without a
  // confirmation); held as something else (reading back found a third value, or the write
  // stopped between the chunks a text spans).
  struct Fates {
    std::vector<std::string> written, notWritten, unknown, otherwise;
  };
  Fates fates() const;
  // The fields the write was to change.
  std::vector<std::string> toChange() const;
  // Whether the instrument certainly holds something else than before.
  bool changed() const { return held.differsFrom(before); }
};

// The names of the fields (and other bytes) in which `a` and `b` differ among the bytes
// 0..count-1, in area order: "server_port", "dial string", "byte 160".
std::vector<std::string> differingParts(const SettingsArea& a, const SettingsArea& b, size_t count);

}  // namespace netsetup::cli
