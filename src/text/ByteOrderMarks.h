#pragma once
#include <string_view>

namespace netsetup {

// The byte-order marks editors put at the start of a file.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
inline constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// `text` without the UTF-8 mark an editor may have put before it.
inline std::string_view withoutUtf8Mark(std::string_view text) {
  if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
  return text;
}

}  // namespace netsetup
