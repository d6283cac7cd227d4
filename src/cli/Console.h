#pragma once
#include <string>
#include <vector>

namespace netsetup::cli {

// The operating system as the command-line tool meets it (src/cli/posix, src/cli/win32).

// The arguments as UTF-8, without the program name.
std::vector<std::string> commandLine(int argc, char** argv);

// Prepares the terminal: UTF-8 output where the system needs telling (put back as it was when
// the program ends), Ctrl+C and SIGTERM (Ctrl+Break on Windows) caught (see interrupted()).
void prepareConsole();

// Whether Ctrl+C was pressed (or SIGTERM came) since the start.
bool interrupted();

// Whether standard error is a terminal (progress bars) or a pipe or file (plain lines).
bool errorIsTerminal();

// "11:22:33.417": the local time of day to the millisecond, for traces.
std::string localTimeOfDay();

}  // namespace netsetup::cli
