#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/session/ExitCodes.h"
#include "cli/session/WriteOutcome.h"
#include "text/Result.h"

namespace netsetup::cli {

// What starts every line the tool prints about a failure.
inline constexpr std::string_view kComplaintPrefix = "netsetup-cli: ";

// Why a command or one of its steps did not go through, as a value: the exit status, what
// failed and why, what to do, and for a write what the instrument is known to hold now. One
// place turns it into the lines on standard error, apply's JSON message and a report cell.
struct CliFailure {
  int exit = kExitUsage;
  std::string message;              // one line: "cannot open COM3 at 9600 baud"
  std::string reason = {};          // the system's or the instrument's own words, when any
  std::vector<std::string> advice = {};  // lines after it: what to do, the devices present
  std::optional<WriteOutcome> write = {};  // set once a write's backup step was reached

  // From a file layer's or a parser's failure: its message, then `after` ("; nothing was
  // written"), with the system's reason kept apart.
  static CliFailure of(int exit, const Failure& failure, std::string_view after = {});

  std::string text() const;      // "message: reason"
  std::string lines() const;     // for standard error: the prefixed text, then the advice lines
  std::string oneLine() const;   // for a report cell: text and advice joined by " / "
  std::string allLines() const;  // for a JSON message: text and advice joined by line breaks
};

template <class T = void>
using CliResult = Result<T, CliFailure>;

}  // namespace netsetup::cli
