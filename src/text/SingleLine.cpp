#include "text/SingleLine.h"

#include <algorithm>

namespace netsetup {

bool isControlCharacter(char32_t c) { return c < 0x20 || c == 0x7F; }

std::optional<EditedText> keepSingleLine(std::u16string_view before, std::u16string_view after, size_t cursor) {
  cursor = std::min(cursor, after.size());
  // The text after the cursor is the untouched tail of `before`; the insertion starts where the
  // two texts first differ, but never inside that tail.
  const size_t tail = after.size() - cursor;
  const size_t limit = std::min(cursor, before.size() >= tail ? before.size() - tail : size_t{0});
  size_t start = 0;
  while (start < limit && before[start] == after[start]) ++start;
  const std::u16string_view inserted = after.substr(start, cursor - start);
  if (std::none_of(inserted.begin(), inserted.end(), [](char16_t c) { return isControlCharacter(c); })) {
    return std::nullopt;
  }

  std::u16string kept;
  for (char16_t c : inserted) {
    if (c == u'\r' || c == u'\n') break;
    if (!isControlCharacter(c)) kept += c;
  }
  EditedText result;
  result.text.append(after.substr(0, start)).append(kept).append(after.substr(cursor));
  result.cursor = start + kept.size();
  return result;
}

}  // namespace netsetup
