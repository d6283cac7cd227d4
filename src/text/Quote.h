#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace netsetup {

inline constexpr size_t kQuoteLimit = 40;

// A user's text as messages quote it: in single quotes, control characters spelled out ("\n",
// "\t", "\x7F") so a pasted line break cannot break the message box, and a text over kQuoteLimit
// characters cut to its beginning with "…" and its length: 'aaaa…' (15000 characters).
std::string quoteText(std::string_view utf8);

}  // namespace netsetup
