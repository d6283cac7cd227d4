#pragma once
#include <string_view>

namespace netsetup {

// The blanks trimmed from names, values and cells everywhere (the private-profile rule): space
// and tab, nothing else.
bool isBlank(char c);
std::string_view trimBlanks(std::string_view text);

}  // namespace netsetup
