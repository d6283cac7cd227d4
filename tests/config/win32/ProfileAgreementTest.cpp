// Our private-profile reader and writer against Windows' own (wine's here), on the same files.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "config/IniFile.h"
#include "support/TempDir.h"

namespace netsetup {
namespace {

using testing::TempDir;
using testing::writeFile;

constexpr char kMissing[] = "\x01missing";

// What the platform returns, with a buffer of the size our reader keeps (2047 characters).
std::optional<std::string> platformValue(const std::string& path, const char* section, const char* key) {
  char buffer[ini::kMaxValueLength + 1];
  ::GetPrivateProfileStringA(section, key, kMissing, buffer, sizeof buffer, path.c_str());
  if (std::string(buffer) == kMissing) return std::nullopt;
  return std::string(buffer);
}

struct Lookup {
  std::string text;
  const char* section;
  const char* key;
};

// Notepad's "Unicode": a byte-order mark, then UTF-16LE.
std::string utf16le(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) bytes += {c, '\0'};
  return bytes;
}

const Lookup kLookups[] = {
    {"[Sec]\r\n KEY = v \r\n", "sec", "key"},
    {"[S]\r\nk=  \" a \"\r\n", "S", "k"},
    {"[S]\r\nk=\"x'\r\n", "S", "k"},
    {"[S]\r\nk=''\r\n", "S", "k"},
    {"[S]\r\nk=\"\"\r\n", "S", "k"},
    {"[S]\r\nk=\t7 \r\n", "S", "k"},
    {"[S]\r\nk=a ;x\r\n", "S", "k"},
    {"[S]\r\nk=a=b\r\n", "S", "k"},
    {"[S]\r\n;k=v\r\n", "S", "k"},
    {"[S]\r\nk=1\r\nk=2\r\n", "S", "k"},
    {"[S]\r\nx=1\r\n[s]\r\nk=2\r\n", "S", "k"},
    {"k=v\r\n[S]\r\n", "S", "k"},
    {"  [ S ] junk\r\nk=v\r\n", "s", "k"},
    {"[#]\r\nPort=3\r\n", "#", "port"},
    {"[#]\r\nSockIP=\r\n", "#", "SockIP"},
    {"[#]\nPort=3\nBaud=1", "#", "Baud"},
    {utf16le("[#]\r\nPort=4\r\n"), "#", "Port"},
    {utf16le("[#]\r\n SockIP = \"1.2.3.4\"\r\n"), "#", "SockIP"},
};

TEST(ProfileAgreement, ReadsWhatWindowsReads) {
  TempDir dir;
  const std::string path = dir.file("a.ini");
  for (const Lookup& l : kLookups) {
    writeFile(path, l.text);
    EXPECT_EQ(ini::readValue(path, l.section, l.key), platformValue(path, l.section, l.key)) << l.text;
  }
  writeFile(path, "[S]\r\nk=" + std::string(3000, 'a') + "\r\n");
  EXPECT_EQ(ini::readValue(path, "S", "k"), platformValue(path, "S", "k"));
}

// Writes are compared by what a read sees afterwards: wine rewrites the whole file on every
// write, which Windows does not, so the bytes may differ while the values must not.
TEST(ProfileAgreement, WritesWhatWindowsWrites) {
  const char* before[] = {"", "; top\r\n[A]\r\nx=1\r\n", "[#]\r\n  port = 7 \r\n[Ports]\r\nCOM1=x\r\n", "[#]\nPort=1"};
  const std::pair<const char*, const char*> writes[] = {{"Port", "2"}, {"Baud", "-1"}, {"SockIP", ""},
                                                        {"SockPort", "10001"}};
  for (const char* start : before) {
    TempDir dir;
    const std::string ours = dir.file("ours.ini"), theirs = dir.file("theirs.ini");
    writeFile(ours, start);
    writeFile(theirs, start);
    for (const auto& [key, value] : writes) {
      ASSERT_TRUE(ini::writeValue(ours, "#", key, value));
      ASSERT_TRUE(::WritePrivateProfileStringA("#", key, value, theirs.c_str()));
    }
    for (const char* section : {"#", "A", "Ports"}) {
      for (const char* key : {"Port", "Baud", "SockIP", "SockPort", "x", "COM1"}) {
        EXPECT_EQ(ini::readValue(ours, section, key), platformValue(theirs, section, key))
            << start << " [" << section << "] " << key;
      }
    }
  }
}

}  // namespace
}  // namespace netsetup
