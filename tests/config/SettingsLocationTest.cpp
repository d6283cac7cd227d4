#include "config/SettingsLocation.h"

#include <gtest/gtest.h>

#include <set>

#include "config/SettingsFile.h"
#include "support/TempDir.h"

namespace netsetup {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

TEST(SettingsLocation, BesideTheProgramWhileItsFolderMayBeWritten) {
  const std::string beside = "/opt/netsetup/netsetup.ini", user = "/home/u/.config/netsetup/netsetup.ini";
  struct Case {
    const char* name;
    bool folderWritable;
    std::set<std::string> files;
    SettingsLocation expected;
  };
  const Case cases[] = {
      {"a copy in a folder of its own", true, {beside, user}, {beside, beside}},
      {"installed, no user file yet", false, {beside}, {beside, user}},
      {"installed, nothing yet", false, {}, {beside, user}},
      {"installed, both present", false, {beside, user}, {user, user}},
  };
  for (const Case& c : cases) {
    const auto writable = [&](const std::string& folder) { return folder == "/opt/netsetup" && c.folderWritable; };
    const auto exists = [&](const std::string& file) { return c.files.count(file) > 0; };
    EXPECT_EQ(chooseSettingsLocation(beside, user, writable, exists), c.expected) << c.name;
  }
  // With no home to go to, the file stays beside the program (and its save says why it fails).
  EXPECT_EQ(chooseSettingsLocation(beside, "", [](auto&) { return false; }, [](auto&) { return true; }),
            (SettingsLocation{beside, beside}));
}

TEST(SettingsLocation, TheUserFileStartsFromTheOneBesideTheProgram) {
  TempDir dir;
  const std::string beside = dir.file("netsetup.ini"), user = dir.file("home/config/netsetup/netsetup.ini");
  writeFile(beside, "[#]\r\nPort=3\r\n[Ports]\r\nCOM4=/dev/ttyS1\r\n");
  SettingsFile file(SettingsLocation{beside, user});
  EXPECT_EQ(file.load().port, 3);
  EXPECT_EQ(file.portMap().device(4), "/dev/ttyS1");
  LinkSettings changed;
  changed.port = 5;
  EXPECT_TRUE(file.save(changed).ok());
  EXPECT_EQ(readFile(user), "[#]\r\nPort=5\r\nBaud=0\r\nUseIP=0\r\nSockIP=\r\nSockPort=10001\r\n[Ports]\r\nCOM4=/dev/ttyS1\r\n");
  EXPECT_EQ(readFile(beside), "[#]\r\nPort=3\r\n[Ports]\r\nCOM4=/dev/ttyS1\r\n");  // the program's own is left as it was
}

}  // namespace
}  // namespace netsetup
