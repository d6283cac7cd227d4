#include "cli/console/ShellWords.h"

namespace netsetup::cli {

Shell systemShell() { return Shell::Posix; }

}  // namespace netsetup::cli
