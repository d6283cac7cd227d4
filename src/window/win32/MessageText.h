#pragma once
#include <string>
#include <string_view>

namespace netsetup {

// The message boxes' caption: the executable's name without folder, cut at its first ".", every
// character after the first in lower case ("NETSETUP.EXE" -> "Netsetup").
std::wstring applicationTitle(std::wstring_view executablePath);

}  // namespace netsetup
