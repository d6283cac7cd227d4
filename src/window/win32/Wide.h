#pragma once
#include <string>
#include <string_view>

#include "text/Utf16.h"

namespace netsetup {

// The W functions' UTF-16 and the shared code's UTF-8.
inline std::wstring toWide(std::string_view utf8) {
  const std::u16string units = utf8ToUtf16(utf8);
  return {units.begin(), units.end()};
}

inline std::string toUtf8(std::wstring_view wide) { return utf16ToUtf8(std::u16string(wide.begin(), wide.end())); }

}  // namespace netsetup
