#include "cli/formats/SavedText.h"

#include <gtest/gtest.h>

#include "support/Results.h"

namespace netsetup::cli {
namespace {

// "Насосная" as Windows-1251 (Notepad's "ANSI" on a Russian Windows) and as UTF-8.
const std::string kCp1251 = "\xCD\xE0\xF1\xEE\xF1\xED\xE0\xFF";
const std::string kUtf8 = "\xD0\x9D\xD0\xB0\xD1\x81\xD0\xBE\xD1\x81\xD0\xBD\xD0\xB0\xD1\x8F";

TEST(SavedText, UsesUtf8AsItIsReadsWindows1251AndRefusesTheRest) {
  struct Row {
    std::string bytes;
    std::string utf8, note, refusal;
  };
  const Row rows[] = {
      {"name\n" + kUtf8 + "\n", "name\n" + kUtf8 + "\n", "", ""},
      {"\xEF\xBB\xBFname\n" + kUtf8, "\xEF\xBB\xBFname\n" + kUtf8, "", ""},
      {"name;apn\n" + kCp1251 + ";x\n", "name;apn\n" + kUtf8 + ";x\n",
       "w.csv is not UTF-8 (line 2); read as Windows-1251, the Cyrillic Windows code page", ""},
      // A UTF-8 file cut inside a character is no UTF-8, but each byte is a Windows-1251 one.
      {"a\nb\nx\xD0", "a\nb\nx\xD0\xA0", "w.csv is not UTF-8 (line 3); read as Windows-1251, the Cyrillic Windows code page", ""},
      {"a\n" + kCp1251 + "\n\x98\n", "", "",
       "w.csv line 3 is neither UTF-8 nor Windows-1251 text; save it as UTF-8 (how)"},
      {kCp1251 + std::string("\0", 1), "", "", "w.csv line 1 is neither UTF-8 nor Windows-1251 text; save it as UTF-8 (how)"},
      {std::string("\xFF\xFEn\0a\0", 6), "", "", "w.csv is saved as UTF-16 (Notepad's \"Unicode\"); save it as UTF-8 (how)"},
      {std::string("\xFE\xFF\0n\0a", 6), "", "", "w.csv is saved as UTF-16 (Notepad's \"Unicode\"); save it as UTF-8 (how)"},
  };
  for (const Row& row : rows) {
    const Result<SavedText> text = decodeSavedText(row.bytes, "w.csv", "how");
    EXPECT_EQ(testing::failureText(text).value_or(""), row.refusal) << row.bytes;
    if (!text) continue;
    EXPECT_EQ(text->utf8, row.utf8);
    EXPECT_EQ(text->note, row.note);
  }
}

}  // namespace
}  // namespace netsetup::cli
