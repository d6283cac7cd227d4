#pragma once
#include <string>
#include <vector>

#include "cli/session/FieldWrite.h"
#include "cli/session/Target.h"

namespace netsetup::cli {

// What write (and apply in text) says once writeNamedFields went through, a line each: what was
// written or that nothing needed writing, the numbers stored otherwise than typed, the backup.
std::vector<std::string> writtenLines(const Target& target, const FieldWrite& done, bool verify);

}  // namespace netsetup::cli
