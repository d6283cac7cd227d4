#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace netsetup {

// What a single-line edit keeps of an insertion (a paste, a drop, a typed character): only the
// first line of the inserted text, without control characters (below U+0020, and U+007F).
// Texts are UTF-16, as both windowing toolkits hold them.
struct EditedText {
  std::u16string text;
  size_t cursor = 0;
  bool operator==(const EditedText&) const = default;
};

// `before` is the text before the edit, `after` the text with the insertion, whose end is at
// `cursor`. Returns the text to keep instead, or nullopt when the insertion is clean. Control
// characters that were already in `before` stay: only what the user just inserted is judged.
std::optional<EditedText> keepSingleLine(std::u16string_view before, std::u16string_view after, size_t cursor);

bool isControlCharacter(char32_t c);

}  // namespace netsetup
