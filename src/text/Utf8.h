#pragma once
#include <string>

namespace netsetup {

// Appends one Unicode character to a UTF-8 string.
void appendUtf8(std::string& out, char32_t character);

}  // namespace netsetup
