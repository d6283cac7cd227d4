#include "netblock/AuthType.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "netblock/NetworkSettings.h"
#include "text/Cp1251.h"

namespace netsetup {

namespace {

// Lower case of a Windows-1251 letter: Latin A-Z, Cyrillic А-Я and Ё.
uint8_t lowerCp1251(uint8_t b) {
  if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDF)) return static_cast<uint8_t>(b + 0x20);
  if (b == 0xA8) return 0xB8;
  return b;
}

std::string folded(std::string_view utf8) {
  std::string bytes = encodeCp1251(utf8).bytes;
  std::transform(bytes.begin(), bytes.end(), bytes.begin(),
                 [](char c) { return static_cast<char>(lowerCp1251(static_cast<uint8_t>(c))); });
  return bytes;
}

}  // namespace

static_assert(kAuthTypeCaptions.size() == kAuthTypeCount);

int authIndexForText(std::string_view utf8) {
  if (!encodeCp1251(utf8).ok()) return -1;
  const std::string typed = folded(utf8);
  for (size_t i = 0; i < kAuthTypeCaptions.size(); ++i) {
    if (folded(kAuthTypeCaptions[i]) == typed) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace netsetup
