#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace netsetup {

// Appends one Unicode character to a UTF-8 string.
void appendUtf8(std::string& out, char32_t character);

// One strictly valid UTF-8 sequence at text[pos] (no overlong forms, no surrogates, nothing past
// U+10FFFF, no truncation). On success advances pos past it; on failure leaves pos alone.
std::optional<char32_t> readUtf8(std::string_view text, size_t& pos);

// How much of `text` can be written out now without cutting a character: all of it, less the
// start of a sequence at its end that more bytes would complete (bytes that can never be
// valid are not held back).
size_t completeUtf8Prefix(std::string_view text);

// The number of characters a message would show: every byte that does not continue a sequence.
size_t countUtf8Characters(std::string_view text);

}  // namespace netsetup
