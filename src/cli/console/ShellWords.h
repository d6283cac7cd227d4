#pragma once
#include <string>
#include <string_view>

namespace netsetup::cli {

// Commands the tool prints for a person to paste, written for the shell of its system.
enum class Shell {
  Posix,      // sh, bash: '...' quoting
  WindowsCmd  // cmd.exe and the program's own argument splitting: "..." quoting
};

// The shell on this system (src/cli/console/posix, src/cli/console/win32).
Shell systemShell();

// `word` as the shell gives it back unchanged: as it is when it holds only letters, digits and
// characters no shell treats specially (@+=:,./_- and, on Windows, \), otherwise quoted.
std::string shellWord(std::string_view word, Shell shell = systemShell());

}  // namespace netsetup::cli
