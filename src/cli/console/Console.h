#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "text/Result.h"

namespace netsetup::cli {

// The operating system as the command-line tool meets it (its posix/ and win32/ folders).

// The arguments as UTF-8, without the program name.
std::vector<std::string> commandLine(int argc, char** argv);

// Prepares the terminal: standard output and error carry UTF-8 (on Windows a console is given
// wide characters, so Cyrillic shows whatever its code page; a file or pipe gets UTF-8), Ctrl+C, SIGTERM and SIGHUP (Ctrl+Break on Windows) caught and counted (see
// interruptCount()); on Linux the death of the process that started the program counts as one,
// so nothing is done for a caller that is gone. A standard stream that is closed at the start
// is held open on a device that takes nothing, so no file the program opens can take its place.
void prepareConsole();

// How many interrupts have come since the start.
unsigned interruptCount();

// Flushes and closes standard output: a Failure, with the system's reason, when anything
// written to it was lost (a full disk, a closed output, a file-size limit).
Result<void> finishStandardOutput();

// A serial port as this platform's users name one, for examples: COM3, /dev/ttyUSB0.
std::string_view serialPortExample();

// Whether standard error is a terminal (progress bars) or a pipe or file (plain lines).
bool errorIsTerminal();

// "11:22:33.417": the local time of day to the millisecond, for traces.
std::string localTimeOfDay();

// Who runs the program and where, for the log of writes: the user's login name and the
// computer's name ("?" where the system does not say).
std::string userName();
std::string computerName();

}  // namespace netsetup::cli
