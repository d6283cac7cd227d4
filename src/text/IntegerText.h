#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/Result.h"

namespace netsetup {

// The one rule by which the tool turns a text into an integer: leading spaces, one optional
// sign, then decimal (range-checked) or "$", "x", "X", "0x", "0X" followed by 1..8 hex digits
// taken as 32-bit two's complement. Nothing may follow. Returns nullopt for "not an integer".
std::optional<int32_t> parseInteger(std::string_view text);

// The refusals every program of the tool gives an integer text, in the window's words:
// "'abc' is not a valid integer value", "The TCP port '70000' is outside 0..65535".
std::string notAnIntegerText(std::string_view text);
std::string outsideRangeText(std::string_view what, std::string_view text, int32_t minimum, int32_t maximum);

// `text` by parseInteger within 0..maximum, or the refusal of one of the two kinds above (the
// range followed by " " and `unit` when one is given: "... is outside 0..3600 seconds").
Result<int32_t> integerUpTo(std::string_view what, std::string_view text, int32_t maximum, std::string_view unit = {});

// The two ranges the link's settings are checked against.
inline constexpr int32_t kMaxNetworkAddress = 255;
inline constexpr int32_t kMaxTcpPort = 65535;

}  // namespace netsetup
