// The text conversions every layer uses: Windows-1251 <-> UTF-8, UTF-16 <-> UTF-8, the visible
// and quoted forms of a text for messages, and what a single-line edit keeps of a paste.
#include <algorithm>
#include <string>

#include "FuzzCheck.h"
#include "text/Cp1251.h"
#include "text/Quote.h"
#include "text/SingleLine.h"
#include "text/Utf16.h"
#include "text/Utf8.h"

using namespace netsetup;
using fuzz::hasControlByte;

namespace {

bool isValidUtf8(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size())
    if (!readUtf8(text, pos)) return false;
  return true;
}

std::u16string unitsOf(std::string_view bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
  return units;
}

void checkCp1251(std::string_view bytes) {
  // Record and settings-file bytes shown in the window and saved again must come back unchanged.
  const std::string utf8 = decodeCp1251(bytes);
  FUZZ_CHECK(isValidUtf8(utf8), "decoded Windows-1251 is valid UTF-8");
  const Cp1251Encoding back = encodeCp1251(utf8);
  FUZZ_CHECK(back.ok(), "decoded Windows-1251 encodes without a refusal");
  FUZZ_CHECK_EQ(back.bytes, bytes, "Windows-1251 -> UTF-8 -> Windows-1251 is exact");
  FUZZ_CHECK_EQ(encodeCp1251Replacing(utf8), bytes, "the replacing encoder agrees on encodable text");

  // Any bytes as typed UTF-8: refused or exact.
  const Cp1251Encoding encoded = encodeCp1251(bytes);
  FUZZ_CHECK(encoded.bytes.size() <= bytes.size(), "encoding never grows a text");
  FUZZ_CHECK(encoded.invalidUtf8 == !isValidUtf8(bytes), "invalid UTF-8 is reported exactly when present");
  if (encoded.ok()) {
    FUZZ_CHECK_EQ(decodeCp1251(encoded.bytes), bytes, "an encodable text decodes back to itself");
  }
  const std::string replaced = encodeCp1251Replacing(bytes);
  if (encoded.ok()) FUZZ_CHECK_EQ(replaced, encoded.bytes, "replacing encoder on encodable text");
  FUZZ_CHECK(replaced.size() == encoded.bytes.size() + encoded.unmappable.size() ||
                 encoded.invalidUtf8,
             "one '?' per character without a byte");
}

void checkUtf16(std::string_view bytes) {
  // A UTF-16 settings file is held as UTF-8 and written back: every code unit must survive,
  // unpaired surrogates included.
  const std::u16string units = unitsOf(bytes.substr(0, bytes.size() & ~size_t{1}));
  const std::string utf8 = utf16ToUtf8(units);
  FUZZ_CHECK(utf8ToUtf16(utf8) == units, "UTF-16 -> UTF-8 -> UTF-16 is exact");
  if (isValidUtf8(bytes)) {
    FUZZ_CHECK_EQ(utf16ToUtf8(utf8ToUtf16(bytes)), bytes, "valid UTF-8 -> UTF-16 -> UTF-8 is exact");
  }
}

void checkQuoting(std::string_view bytes) {
  const std::string visible = visibleText(bytes);
  FUZZ_CHECK(!hasControlByte(visible), "visibleText leaves no control character");
  if (!hasControlByte(bytes)) FUZZ_CHECK_EQ(visible, bytes, "visibleText keeps a clean text as it is");
  const std::string quoted = quoteText(bytes);
  FUZZ_CHECK(!hasControlByte(quoted), "quoteText leaves no control character");
  FUZZ_CHECK(quoted.starts_with('\''), "quoteText opens a quote");
  if (countUtf8Characters(bytes) <= kQuoteLimit) {
    FUZZ_CHECK_EQ(quoted, "'" + visible + "'", "a short text is quoted whole");
  } else {
    // Cut before the first byte of character kQuoteLimit + 1, then the ellipsis and the length.
    size_t cut = 0;
    for (size_t starts = 0; cut < bytes.size(); ++cut) {
      if ((static_cast<uint8_t>(bytes[cut]) & 0xC0) != 0x80 && starts++ == kQuoteLimit) break;
    }
    const std::string expected = "'" + visibleText(bytes.substr(0, cut)) + "\u2026' (" +
                                 std::to_string(countUtf8Characters(bytes)) + " characters)";
    FUZZ_CHECK_EQ(quoted, expected, "a long text is quoted by its beginning and its length");
  }
}

// A paste of `inserted` at `at` into `before`, as an edit reports it.
void checkSingleLine(std::string_view bytes) {
  if (bytes.size() < 2) return;
  const size_t split = static_cast<uint8_t>(bytes[0]) % bytes.size();
  const std::u16string before = utf8ToUtf16(bytes.substr(1, split));
  const std::u16string inserted = utf8ToUtf16(bytes.substr(std::min(bytes.size(), 1 + split)));
  const size_t at = before.empty() ? 0 : static_cast<uint8_t>(bytes[1]) % (before.size() + 1);
  const std::u16string after = before.substr(0, at) + inserted + before.substr(at);
  const size_t cursor = at + inserted.size();

  std::u16string clean;
  bool dirty = false;
  for (char16_t c : inserted) dirty = dirty || isControlCharacter(c);
  for (char16_t c : inserted) {
    if (c == u'\r' || c == u'\n') break;
    if (!isControlCharacter(c)) clean += c;
  }
  const std::optional<EditedText> kept = keepSingleLine(before, after, cursor);
  FUZZ_CHECK(kept.has_value() == dirty, "an edit is changed exactly when the insertion holds a control character");
  if (kept) {
    FUZZ_CHECK(kept->text == before.substr(0, at) + clean + before.substr(at),
               "only the insertion's first line without control characters is kept, the rest untouched");
    FUZZ_CHECK(kept->cursor == at + clean.size(), "the cursor ends after what was kept");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = fuzz::bytesOf(data, size);
  checkCp1251(bytes);
  checkUtf16(bytes);
  checkQuoting(bytes);
  checkSingleLine(bytes);
  return 0;
}
