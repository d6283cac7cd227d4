#pragma once
#include <cstdio>
#include <ctime>

namespace netsetup {

// The two services of the operating system the instrument's portable parts need
// (tools/sim/posix, tools/sim/win32).

// Pushes a written file's data to the disk; false on failure.
bool syncFile(std::FILE* file);

// The local calendar time of `seconds`, safe to call from several threads.
std::tm localTime(std::time_t seconds);

}  // namespace netsetup
