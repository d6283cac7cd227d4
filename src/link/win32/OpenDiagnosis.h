#pragma once
#include <string>

#include "link/win32/WinApi.h"

namespace netsetup {

// The system's own text for a Windows error code, as UTF-8 without the trailing line break.
std::string systemMessage(DWORD error);

}  // namespace netsetup
