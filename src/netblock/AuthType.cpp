#include "netblock/AuthType.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "netblock/NetworkSettings.h"
#include "text/Cp1251.h"

namespace netsetup {

namespace {

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
