#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace netsetup {

inline constexpr size_t kQuoteLimit = 40;

// A text for one line of a message, a terminal or a comment: control characters (below U+0020,
// and U+007F) spelled out as \n, \r, \t or \xNN, so a value can neither break the line nor send
// escape sequences to a terminal. Everything else, UTF-8 included, is kept.
std::string visibleText(std::string_view utf8);

// A user's text as messages quote it: in single quotes, control characters spelled out ("\n",
// "\t", "\x7F") so a pasted line break cannot break the message box, and a text over kQuoteLimit
// characters cut to its beginning with "…" and its length: 'aaaa…' (15000 characters).
std::string quoteText(std::string_view utf8);

// The same without the length after a cut text, for a message that states the length itself.
std::string quoteTextWithoutLength(std::string_view utf8);

}  // namespace netsetup
