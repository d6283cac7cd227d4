#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace netsetup {

// One line of a text: its content is [start, stop), its line break [stop, next).
struct LineSpan {
  std::size_t start = 0;
  std::size_t stop = 0;
  std::size_t next = 0;
};

// Lines end at CR, LF or CRLF, as the private-profile reader splits them; a last line without a
// break is a line too, and an empty text has none.
std::vector<LineSpan> splitLines(std::string_view text);

// The lines themselves, by the same rule.
std::vector<std::string> splitLineTexts(std::string_view text);

}  // namespace netsetup
