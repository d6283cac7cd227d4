#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace netsetup {

// The one rule by which the tool turns a text into an integer: leading spaces, one optional
// sign, then decimal (range-checked) or "$", "x", "X", "0x", "0X" followed by 1..8 hex digits
// taken as 32-bit two's complement. Nothing may follow. Returns nullopt for "not an integer".
std::optional<int32_t> parseInteger(std::string_view text);

}  // namespace netsetup
