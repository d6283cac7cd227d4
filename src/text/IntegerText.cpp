#include "text/IntegerText.h"

#include "text/Hex.h"
#include "text/Quote.h"

namespace netsetup {
namespace {

// Hex digits are a raw 32-bit pattern: "$FFFFFFFF" is -1, and a minus sign wraps ("-$80000000").
std::optional<int32_t> parseHex(std::string_view digits, bool negative) {
  const std::optional<uint32_t> value = parseHexDigits(digits);
  if (!value) return std::nullopt;
  return static_cast<int32_t>(negative ? 0u - *value : *value);
}

// Leading zeros are decimal, and any number of them is fine; only the value is range-checked.
std::optional<int32_t> parseDecimal(std::string_view digits, bool negative) {
  if (digits.empty()) return std::nullopt;
  const int64_t limit = negative ? 2147483648LL : 2147483647LL;
  int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

}  // namespace

std::optional<int32_t> parseInteger(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  const std::string_view rest = text.substr(pos);
  if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X')) {
    return parseHex(rest.substr(1), negative);
  }
  if (rest.starts_with("0x") || rest.starts_with("0X")) return parseHex(rest.substr(2), negative);
  return parseDecimal(rest, negative);
}

std::string notAnIntegerText(std::string_view text) { return quoteText(text) + " is not a valid integer value"; }

std::string outsideRangeText(std::string_view what, std::string_view text, int32_t minimum, int32_t maximum) {
  return std::string(what) + " " + quoteText(text) + " is outside " + std::to_string(minimum) + ".." +
         std::to_string(maximum);
}

Result<int32_t> integerUpTo(std::string_view what, std::string_view text, int32_t maximum, std::string_view unit) {
  const std::optional<int32_t> value = parseInteger(text);
  if (!value) return Failure{notAnIntegerText(text)};
  if (*value < 0 || *value > maximum) {
    return Failure{outsideRangeText(what, text, 0, maximum) + (unit.empty() ? "" : " ") + std::string(unit)};
  }
  return *value;
}

}  // namespace netsetup
