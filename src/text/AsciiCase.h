#pragma once
#include <string>
#include <string_view>

namespace netsetup {

// The case folding names are matched by (INI sections and keys, field names, formats, COMn):
// ASCII letters only; every other byte stays as it is.
char lowerAscii(char c);
std::string lowerAscii(std::string_view text);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace netsetup
