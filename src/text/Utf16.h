#pragma once
#include <string>
#include <string_view>

namespace netsetup {

// UTF-16 <-> UTF-8 that never loses a code unit: an unpaired surrogate travels as its own
// three-byte sequence (as WTF-8 does), so a file converted there and back is unchanged.
std::string utf16ToUtf8(std::u16string_view text);
// Bytes that are not UTF-8 become U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);

}  // namespace netsetup
