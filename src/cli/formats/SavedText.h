#pragma once
#include <string>
#include <string_view>

#include "text/Result.h"

namespace netsetup::cli {

// A sheet or worklist as a Windows program may have saved it, turned into the UTF-8 the tool
// works in: UTF-8 (with or without a byte-order mark) as it is; otherwise Windows-1251 (Notepad's
// "ANSI" and Excel's "CSV" on a Russian Windows) when every byte is one of its characters, with
// a note saying so; UTF-16 and anything else refused, saying how to save it as UTF-8.
struct SavedText {
  std::string utf8;
  std::string note;  // one line for standard error, empty for UTF-8
};

// How to save each kind as UTF-8, for the refusal.
inline constexpr std::string_view kSaveSheetAsUtf8 = "in Notepad: Save As, Encoding UTF-8";
inline constexpr std::string_view kSaveCsvAsUtf8 =
    "in Excel: Save As, \"CSV UTF-8 (Comma delimited)\"; in Notepad: Save As, Encoding UTF-8";

Result<SavedText> decodeSavedText(std::string_view bytes, std::string_view source, std::string_view howToSave);

}  // namespace netsetup::cli
