// The integer-text rule (addresses, ports, settings-file numbers) on any bytes.
#include <cinttypes>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "text/IntegerText.h"

using netsetup::parseInteger;

namespace {

std::string hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%" PRIX32, value);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = netsetup::fuzz::bytesOf(data, size);
  const std::optional<int32_t> value = parseInteger(text);
  if (value) {
    // A number's decimal text is what the window writes back: it must read as the same value.
    FUZZ_CHECK(parseInteger(std::to_string(*value)) == value, "decimal text of a result reads back");
    FUZZ_CHECK(text.find_first_not_of(" +-$xX0123456789abcdefABCDEF") == std::string_view::npos,
               "an accepted text holds only blanks, a sign, digits and hex markers");
  }

  // Any 32-bit value, written each way the rule allows, reads as itself; one past the range
  // does not read at all.
  if (size >= 4) {
    int32_t x;
    std::memcpy(&x, data, sizeof x);
    const auto bits = static_cast<uint32_t>(x);
    FUZZ_CHECK(parseInteger(std::to_string(x)) == x, "decimal");
    FUZZ_CHECK(parseInteger("   " + std::to_string(x)) == x, "leading blanks");
    FUZZ_CHECK(parseInteger("$" + hex(bits)) == x, "$ hex is the raw 32-bit pattern");
    FUZZ_CHECK(parseInteger("0x" + hex(bits)) == x, "0x hex");
    FUZZ_CHECK(parseInteger("-x" + hex(0u - bits)) == x, "negated hex wraps");
    FUZZ_CHECK(parseInteger(std::to_string(x) + " ") == std::nullopt, "nothing may follow");
    const int64_t outside = x >= 0 ? int64_t{x} + 2147483648LL : int64_t{x} - 2147483649LL;
    FUZZ_CHECK(parseInteger(std::to_string(outside)) == std::nullopt, "decimal out of range");
  }
  return 0;
}
