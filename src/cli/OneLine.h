#pragma once
#include <string>
#include <string_view>

namespace netsetup::cli {

// A text for one line of a terminal or a comment: control characters (below U+0020, and U+007F)
// spelled out as \n, \r, \t or \xNN, so a value read from an instrument can neither break the
// line nor send escape sequences to the terminal. Everything else, UTF-8 included, is kept.
std::string oneLine(std::string_view text);

}  // namespace netsetup::cli
