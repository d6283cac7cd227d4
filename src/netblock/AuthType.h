#pragma once
#include <array>
#include <string_view>

namespace netsetup {

// The authentication list's entries, by the index the record stores.
inline constexpr std::array<std::string_view, 4> kAuthTypeCaptions{"Нет", "Любой", "PAP", "CHAP"};

// The index a typed authentication text stands for: the entry it equals, ignoring case (Latin
// and Cyrillic), or -1 for any other text, the empty one included, which stores "none selected".
// So the list never stores one entry while it shows another text.
int authIndexForText(std::string_view utf8);

}  // namespace netsetup
