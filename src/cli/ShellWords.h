#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/CliOptions.h"

namespace netsetup::cli {

// Commands the tool prints for a person to paste, written for the shell of its system.
enum class Shell {
  Posix,      // sh, bash: '...' quoting
  WindowsCmd  // cmd.exe and the program's own argument splitting: "..." quoting
};

// The shell on this system (src/cli/posix, src/cli/win32).
Shell systemShell();

// `word` as the shell gives it back unchanged: as it is when it holds only letters, digits and
// characters no shell treats specially (@+=:,./_- and, on Windows, \), otherwise quoted.
std::string shellWord(std::string_view word, Shell shell = systemShell());

// The link options that reach the same instrument again, as they were given, with `address`:
// "--tcp 10.0.0.5:10001 --address 5", "--settings 'my netsetup.ini' --serial COM3 --address 1".
std::string linkArguments(const LinkOptions& options, uint8_t address, Shell shell = systemShell());

}  // namespace netsetup::cli
