#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/formats/Json.h"
#include "text/Result.h"

namespace netsetup::cli {

// The log of writes: one JSON line for every write the tool attempts, the record a utility
// files for each instrument commissioned.
struct WriteRecord {
  std::string time;  // UTC, as backups carry it
  std::string user, computer;
  std::string command;  // write, apply, restore, batch
  std::string name;     // the instrument's (--name, a worklist's name), when given
  std::string link;     // "TCP 10.0.0.5:10001", "/dev/ttyUSB0 at 9600 baud"
  int address = 0;
  std::string type;
  std::string outcome;  // written, interrupted, failed
  int exit = 0;
  struct Change {
    std::string field, before;
    std::optional<std::string> after;  // none when not known (its chunk sent, not confirmed)
  };
  std::vector<Change> changes;  // the fields to change, the password as ***
  size_t confirmed = 0;         // bytes of the area written and confirmed
  bool verified = false;
  std::string backup;  // the area as it was before
};

// The record as one line of JSON, "\n" included.
std::string formatWriteRecord(const WriteRecord& record);

// A line of the log back, as far as `log` shows it; a refusal for a line that is not one.
Result<WriteRecord> parseWriteRecord(std::string_view line);

// What `log` shows: `records` as a table (a line each: time, name, link and address, outcome,
// the changes), newest last.
std::string formatLogTable(const std::vector<WriteRecord>& records);

}  // namespace netsetup::cli
