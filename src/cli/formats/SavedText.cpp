#include "cli/formats/SavedText.h"

#include <algorithm>

#include "text/ByteOrderMarks.h"
#include "text/Cp1251.h"
#include "text/Utf8.h"

namespace netsetup::cli {

namespace {

// Where the first byte that is no part of a UTF-8 character is; npos when there is none.
size_t firstNonUtf8(std::string_view text) {
  for (size_t pos = 0; pos < text.size();) {
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      ++pos;
    } else if (!readUtf8(text, pos)) {
      return pos;
    }
  }
  return std::string_view::npos;
}

size_t lineOf(std::string_view text, size_t pos) {
  return 1 + static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
}

}  // namespace

Result<SavedText> decodeSavedText(std::string_view bytes, std::string_view source, std::string_view howToSave) {
  const std::string saveAs = "save it as UTF-8 (" + std::string(howToSave) + ")";
  // Notepad's "Unicode": every other byte zero, which would read as no text at all.
  if (bytes.starts_with(kUtf16LeMark) || bytes.starts_with(kUtf16BeMark)) {
    return Failure{std::string(source) + " is saved as UTF-16 (Notepad's \"Unicode\"); " + saveAs};
  }
  const size_t bad = firstNonUtf8(bytes);
  if (bad == std::string_view::npos) return SavedText{std::string(bytes), {}};
  // 0x98 is no Windows-1251 character; a zero byte is no text.
  const size_t foreign = bytes.find_first_of(std::string_view("\x98\0", 2));
  if (foreign != std::string_view::npos) {
    return Failure{std::string(source) + " line " + std::to_string(lineOf(bytes, foreign)) +
                   " is neither UTF-8 nor Windows-1251 text; " + saveAs};
  }
  return SavedText{decodeCp1251(bytes), std::string(source) + " is not UTF-8 (line " +
                                            std::to_string(lineOf(bytes, bad)) +
                                            "); read as Windows-1251, the Cyrillic Windows code page"};
}

}  // namespace netsetup::cli
