#include "text/Wide.h"

#include "text/Utf16.h"

namespace netsetup {

std::wstring toWide(std::string_view utf8) {
  const std::u16string units = utf8ToUtf16(utf8);
  return {units.begin(), units.end()};
}

std::string toUtf8(std::wstring_view wide) {
  std::u16string units;
  units.reserve(wide.size());
  for (wchar_t c : wide) units.push_back(static_cast<char16_t>(c));
  return utf16ToUtf8(units);
}

}  // namespace netsetup
