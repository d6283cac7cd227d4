// Writes netsetup-cli's man page to the file named, for the build to install.
#include <fstream>
#include <iostream>

#include "cli/HelpText.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: netsetup-cli-man OUTPUT\n";
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary);
  out << netsetup::cli::manPage();
  out.close();
  if (!out) {
    std::cerr << "netsetup-cli-man: cannot write " << argv[1] << '\n';
    return 1;
  }
  return 0;
}
