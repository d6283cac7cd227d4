// netsetup-cli: the window's operations from a terminal and from scripts.
#include <iostream>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "link/Umod07.h"

int main(int argc, char** argv) {
  netsetup::cli::prepareConsole();
  netsetup::Tmod07 link;
  link.setStopCheck(netsetup::cli::interrupted);  // every command stops at its next exchange
  return netsetup::cli::runCli(netsetup::cli::commandLine(argc, argv), link, {std::cout, std::cerr});
}
