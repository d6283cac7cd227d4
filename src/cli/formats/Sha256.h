#pragma once
#include <array>
#include <cstdint>
#include <string_view>

namespace netsetup::cli {

// SHA-256 (FIPS 180-4): sha256("abc") begins ba 78 16 bf. A digest that cannot be worked back,
// for what a report may say about values it must not reveal (with a secret key before them).
std::array<uint8_t, 32> sha256(std::string_view bytes);

}  // namespace netsetup::cli
