#include "cli/console/ShellWords.h"

namespace netsetup::cli {

Shell systemShell() { return Shell::WindowsCmd; }

}  // namespace netsetup::cli
