#pragma once
#include <string>
#include <string_view>

namespace netsetup {

// The Win32 W functions' text (UTF-16 units in wchar_t) and the shared code's UTF-8, through
// the lossless UTF-16 rule of Utf16.h. Built everywhere, so it is tested on every platform.
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

}  // namespace netsetup
