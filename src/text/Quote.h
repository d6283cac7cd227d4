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

// Bytes an instrument sent (its type string, a frame's text), as the trace shows them: printable
// ASCII as it is; every other byte, and the quote and the backslash, as \xNN, so a zero byte or
// an 8-bit letter shows for what it is and no escape can be mistaken for text.
std::string visibleBytes(std::string_view bytes);

// A user's text as messages quote it: in single quotes, control characters spelled out ("\n",
// "\t", "\x7F") so a pasted line break cannot break the message box, and a text over kQuoteLimit
// characters cut to its beginning with "…" and its length: 'aaaa…' (15000 characters).
std::string quoteText(std::string_view utf8);

// The same without the length after a cut text, for a message that states the length itself.
std::string quoteTextWithoutLength(std::string_view utf8);

}  // namespace netsetup
