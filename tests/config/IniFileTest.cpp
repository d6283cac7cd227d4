#include "config/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "support/TempDir.h"

namespace netsetup {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

TEST(IniRead, FollowsTheProfileRules) {
  struct Case {
    const char* text;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"[Sec]\r\n KEY = v \r\n", "sec", "key", "v"},
      {"[S]\nk=  \" a \"\n", "S", "k", " a "},
      {"[S]\nk=\"x'\n", "S", "k", "\"x'"},
      {"[S]\nk=''\n", "S", "k", ""},
      {"[S]\nk=\t7 \r\n", "S", "k", "7"},
      {"[S]\rk=a ;x\r", "S", "k", "a ;x"},
      {"[S]\nk=a=b", "S", "k", "a=b"},
      {"[S]\n;k=v\n", "S", "k", std::nullopt},
      {"[S]\nk\n", "S", "k", std::nullopt},
      {"[S]\nk=1\nk=2\n", "S", "k", "1"},
      {"[S]\nx=1\n[s]\nk=2\n", "S", "k", std::nullopt},
      {"k=v\n[S]\n", "S", "k", std::nullopt},
      {"[S]\nx=1\n[T]\nk=v\n", "S", "k", std::nullopt},
      {"  [ S ] junk\nk=v", "s", "k", "v"},
      {"[S\nk=v", "S", "k", "v"},
      {"[#]\r\nPort=3\r\n", "#", "port", "3"},
      {"\xEF\xBB\xBF[S]\nk=v", "S", "k", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ini::findValue(c.text, c.section, c.key), c.expected) << c.text;
}

TEST(IniRead, CutsLongValues) {
  auto v = ini::findValue("[S]\nk=" + std::string(3000, 'a') + "\n", "S", "k");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->size(), 2047u);
}

TEST(IniWrite, ChangesOnlyWhatItMust) {
  struct Case {
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
  };
  const Case cases[] = {
      {"", "#", "Port", "0", "[#]\r\nPort=0\r\n"},
      {"", " S ", " k ", " v ", "[S]\r\nk= v \r\n"},
      {"[A]\r\nx=1\r\n", "S", "k", "v", "[A]\r\nx=1\r\n[S]\r\nk=v\r\n"},
      {"[A]\nx=1", "S", "k", "v", "[A]\nx=1\r\n[S]\r\nk=v\r\n"},
      {"[S]\r\na=1\r\n\r\n;c\r\n[T]\r\n", "S", "b", "2", "[S]\r\na=1\r\nb=2\r\n\r\n;c\r\n[T]\r\n"},
      {"[S]\n", "S", "k", "v", "[S]\nk=v\r\n"},
      {"[S]\na=1", "S", "k", "v", "[S]\na=1\r\nk=v\r\n"},
      {"[S]\njunk\n\n", "S", "k", "v", "[S]\njunk\nk=v\r\n\n"},
      {"[S]\n;k=1\n", "S", "k", "2", "[S]\nk=2\r\n;k=1\n"},
      {"; top\n[s]\n  PORT =  7 ;x\n\tBaud=1\n[T]\nPort=9\n", "S", "port", "3",
       "; top\n[s]\nPORT=3\n\tBaud=1\n[T]\nPort=9\n"},
      {"[S]\rk=1\rj=2", "S", "k", "5", "[S]\rk=5\rj=2"},
      {"[S]\nk=1\nk=2\n[S]\nk=3\n", "S", "k", "9", "[S]\nk=9\nk=2\n[S]\nk=3\n"},
      {"[S]\na=1\n[S]\nk=3\n", "S", "k", "9", "[S]\na=1\nk=9\r\n[S]\nk=3\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ini::setValue(c.before, c.section, c.key, c.value), c.after) << c.before;
}

TEST(IniWrite, RefusesWhatCouldNotBeReadBack) {
  EXPECT_TRUE(ini::canWrite("#", "Port", ""));
  const char* bad[][3] = {{" ", "k", "v"}, {"S", "", "v"},    {"S", "k", "a\nb"}, {"S]", "k", "v"},
                          {"S", "a=b", "v"}, {"S", ";k", "v"}, {"S", "[k", "v"}};
  for (auto& b : bad) EXPECT_FALSE(ini::canWrite(b[0], b[1], b[2])) << b[0] << b[1] << b[2];
}

TEST(IniFile, CreatesReadsAndLeavesNoTemporary) {
  TempDir dir;
  const std::string path = dir.file("a.ini");
  EXPECT_EQ(ini::readValue(path, "#", "Port"), std::nullopt);
  ASSERT_TRUE(ini::writeValue(path, "#", "Port", "0"));
  ASSERT_TRUE(ini::writeValue(path, "#", "Baud", "2"));
  EXPECT_EQ(readFile(path), "[#]\r\nPort=0\r\nBaud=2\r\n");
  EXPECT_EQ(ini::readValue(path, "#", "baud"), "2");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST(IniFile, FailedWriteLeavesTheOriginalAlone) {
  const std::string original = "; mine\n[#]\nPort=5\n";
  enum Obstacle { MissingFolder, FolderAtFile, FolderAtTemporary };
  for (Obstacle o : {MissingFolder, FolderAtFile, FolderAtTemporary}) {
    TempDir dir;
    std::string path = dir.file("a.ini");
    if (o == MissingFolder) path = dir.file("none/a.ini");
    if (o == FolderAtFile) std::filesystem::create_directory(path);
    if (o == FolderAtTemporary) {
      writeFile(path, original);
      std::filesystem::create_directory(path + ".tmp");
    }

    EXPECT_FALSE(ini::writeValue(path, "#", "Port", "6")) << o;
    if (o == FolderAtTemporary) {
      EXPECT_EQ(readFile(path), original);
      EXPECT_TRUE(std::filesystem::is_directory(path + ".tmp"));
    }
    auto expected = o == FolderAtTemporary ? std::optional<std::string>("5") : std::nullopt;
    EXPECT_EQ(ini::readValue(path, "#", "Port"), expected) << o;
  }
}

std::string utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : text) {
    const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
    bytes += bigEndian ? hi : lo;
    bytes += bigEndian ? lo : hi;
  }
  return bytes;
}

// Notepad's "Unicode" files are read as UTF-16 and written back in UTF-16, never half in 8-bit.
TEST(IniFile, Utf16FilesStayUtf16) {
  for (bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
    TempDir dir;
    const std::string path = dir.file("u.ini");
    writeFile(path, utf16(u"; \u041F\u0440\u0438\u0431\u043E\u0440 \U0001F600\r\n[#]\r\nPort=3\r\nSockIP=\u0410\u2713\r\n", bigEndian));
    EXPECT_EQ(ini::readValue(path, "#", "Port"), "3");
    EXPECT_EQ(ini::readValue(path, "#", "SockIP"), "\xC0?");  // as an 8-bit reader is handed it
    ASSERT_TRUE(ini::writeValue(path, "#", "Port", "4"));
    ASSERT_TRUE(ini::writeValue(path, "#", "Baud", "\xC1"));  // "Б" in Windows-1251
    EXPECT_EQ(readFile(path), utf16(u"; \u041F\u0440\u0438\u0431\u043E\u0440 \U0001F600\r\n[#]\r\nPort=4\r\n"
                                   u"SockIP=\u0410\u2713\r\nBaud=\u0411\r\n", bigEndian));
  }
}

// Names are 8-bit like values: in a UTF-16 file, one outside ASCII is found where it was written.
TEST(IniFile, Utf16FilesFindEightBitNames) {
  for (bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
    const ini::ProfileText file = ini::withValue(ini::decodeProfile(utf16(u"[\u041F]\r\n\u041A=1\r\n", bigEndian)),
                                                 "\xCF", "\xCB", "2");  // П, Л in Windows-1251
    EXPECT_EQ(ini::profileValue(file, "\xCF", "\xCA"), "1");
    EXPECT_EQ(ini::profileValue(file, "\xCF", "\xCB"), "2");
    const std::vector<ini::Entry> entries = ini::profileSection(file, "\xCF");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].key, "\xCA");
    EXPECT_EQ(entries[1].value, "2");
  }
}

}  // namespace
}  // namespace netsetup
