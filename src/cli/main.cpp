// netsetup-cli: the window's operations from a terminal and from scripts.
#include <iostream>

#include "cli/Commands.h"
#include "cli/console/Console.h"
#include "cli/session/ExitCodes.h"
#include "link/Umod07.h"

int main(int argc, char** argv) {
  using namespace netsetup::cli;
  prepareConsole();
  netsetup::Tmod07 link;
  int exit = runCli(commandLine(argc, argv), link, {std::cout, std::cerr}, interruptCount);
  // What was printed for a script is the command's result: an output that lost it is a failure.
  if (const netsetup::Result<void> finished = finishStandardOutput(); !finished) {
    std::cerr << kComplaintPrefix << finished.failure().text() << '\n';
    if (exit == kExitOk || exit == kExitDiffers) exit = kExitUsage;
  }
  return exit;
}
