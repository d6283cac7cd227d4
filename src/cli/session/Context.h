#pragma once
#include <ostream>

#include "cli/session/Interrupts.h"
#include "link/Umod07.h"

namespace netsetup::cli {

// Where the tool writes: results to `out`, everything else (errors, progress, the trace) to `err`.
struct Io {
  std::ostream& out;
  std::ostream& err;
};

// What every command runs with: the one link the program owns, its output, and the interrupts.
struct Context {
  Tmod07& link;
  Io io;
  Interrupts& interrupts;
};

}  // namespace netsetup::cli
