#pragma once
#include <cstdint>
#include <string_view>

namespace netsetup::cli {

// CRC-32 as Ethernet, zlib and PNG compute it (reflected polynomial 0xEDB88320, initial and
// final value all ones): crc32("123456789") == 0xCBF43926.
uint32_t crc32(std::string_view bytes);

}  // namespace netsetup::cli
