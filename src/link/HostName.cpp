#include "link/HostName.h"

#include <algorithm>

namespace netsetup {

bool isHostText(std::string_view text) {
  if (tryParseIpv4(text)) return true;
  const auto allowed = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_';
  };
  return !text.empty() && text.size() <= 253 && std::all_of(text.begin(), text.end(), allowed) &&
         text.front() != '-' && text.front() != '.';
}

}  // namespace netsetup
