#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "cli/session/CliOptions.h"
#include "text/Result.h"

namespace netsetup::cli {

// A command line the tool cannot run.
struct UsageError {
  std::string message;  // one line
  // The options it is about, as typed ("--baud"): the one whose value was refused, or the two
  // that cannot go together; none when it concerns no option in particular.
  std::vector<std::string_view> options;
};

// The command line without the program name. Options take "--opt value" or "--opt=value" and
// may stand before or after the command; "--" ends the options. No arguments at all, or
// --help anywhere, asks for help (for the command, if one is named).
Result<CliOptions, UsageError> parseArguments(const std::vector<std::string>& args);

}  // namespace netsetup::cli
