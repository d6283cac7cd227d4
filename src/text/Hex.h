#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace netsetup {

// `value` in `digits` upper-case hex digits, leading zeros included: hexDigits(0x5A, 4) is "005A".
std::string hexDigits(uint32_t value, int digits);

// 0..15 for a hex digit of either case, -1 for any other character.
int hexDigitValue(char c);

// The value of 1 to 8 hex digits with nothing else around them.
std::optional<uint32_t> parseHexDigits(std::string_view digits);

}  // namespace netsetup
