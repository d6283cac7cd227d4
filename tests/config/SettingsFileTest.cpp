#include "config/SettingsFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "support/TempDir.h"

namespace netsetup {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

auto fields(const LinkSettings& s) {
  return std::tie(s.port, s.baud, s.useIp, s.sockIp, s.sockPort);
}

LinkSettings make(int port, int baud, bool useIp, std::string ip, std::string tcpPort) {
  return {port, baud, useIp, std::move(ip), std::move(tcpPort)};
}

TEST(SettingsPath, ReplacesTheExtensionOfTheFileName) {
  const char* cases[][2] = {
      {"/opt/tool/netsetup", "/opt/tool/netsetup.ini"},
      {"/opt/tool/NetSetup.exe", "/opt/tool/NetSetup.ini"},
      {"/opt/tool.d/netsetup", "/opt/tool.d/netsetup.ini"},
      {"/x/a.b.c", "/x/a.b.ini"},
      {"netsetup", "netsetup.ini"},
  };
  for (auto& c : cases) EXPECT_EQ(settingsPathFor(c[0]), c[1]);
}

TEST(SettingsLoad, ReadsEachKeyByItsRule) {
  const LinkSettings d;
  struct Case {
    const char* body;  // lines after "[#]\r\n"
    LinkSettings expected;
  };
  const Case cases[] = {
      {"", d},
      {"Port=3", make(3, 0, false, "", "10001")},
      {"Port=0x3", make(3, 0, false, "", "10001")},
      {"Port=16\r\nBaud=5", make(16, 5, false, "", "10001")},
      {"port=-1\r\nBAUD= $2 ", make(-1, 2, false, "", "10001")},
      {"Port=\r\nBaud=4a", d},
      {"UseIP=true", d},
      {"UseIP=2", make(0, 0, true, "", "10001")},
      {"UseIP=1\r\nSockIP=10.0.0.7\r\nSockPort=", make(0, 0, true, "10.0.0.7", "")},
      {"SockIP=\xC0\xE1 \"q\"\r\nSockPort=x10", make(0, 0, false, "\xD0\x90\xD0\xB1 \"q\"", "x10")},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string path = dir.file("n.ini");
    writeFile(path, std::string("[Other]\r\nPort=9\r\n[#]\r\n") + c.body);
    EXPECT_EQ(fields(SettingsFile(path).load()), fields(c.expected)) << c.body;
  }
  EXPECT_EQ(fields(SettingsFile("/nonexistent/n.ini").load()), fields(d));
}

TEST(SettingsPorts, FileEntriesOverrideTheDefaultMap) {
  TempDir dir;
  const std::string path = dir.file("n.ini");
  writeFile(path,
             "[#]\r\nCOM2=/dev/no\r\n[Ports]\r\nCOM3=/dev/ttyS0\r\ncom5 = /dev/pts/7\r\n"
             "COM3=/dev/later\r\nLPT1=/dev/lp0\r\nCOM17=/dev/x\r\nCOM1=\r\n");
  PortMap map = SettingsFile(path).portMap();
  EXPECT_EQ(map.device(3), "/dev/ttyS0");
  EXPECT_EQ(map.device(5), "/dev/pts/7");
  EXPECT_EQ(map.device(1), PortMap::defaultDevice(1));
  EXPECT_EQ(map.device(2), PortMap::defaultDevice(2));
  EXPECT_EQ(map.device(17), "");
  EXPECT_EQ(SettingsFile(dir.file("none.ini")).portMap().device(3), PortMap::defaultDevice(3));
}

TEST(SettingsSave, DefaultsMakeTheFiveLines) {
  TempDir dir;
  SettingsFile file(dir.file("n.ini"));
  EXPECT_TRUE(file.save(LinkSettings{}).ok());
  EXPECT_EQ(readFile(file.path()),
            "[#]\r\nPort=0\r\nBaud=0\r\nUseIP=0\r\nSockIP=\r\nSockPort=10001\r\n");
}

TEST(SettingsSave, KeepsEverythingElseInTheFile) {
  TempDir dir;
  SettingsFile file(dir.file("n.ini"));
  writeFile(file.path(),
             "; settings\r\n[Ports]\r\nCOM1=/dev/pts/3\r\n\r\n[#]\r\nport = 7\r\n  ; keep\r\n"
             "SockIP=\"1.2.3.4\"\n");
  const LinkSettings s = make(2, -1, true, "10.0.0.5", "\xD0\x90");
  EXPECT_TRUE(file.save(s).ok());
  EXPECT_EQ(readFile(file.path()),
            "; settings\r\n[Ports]\r\nCOM1=/dev/pts/3\r\n\r\n[#]\r\nport=2\r\n  ; keep\r\n"
            "SockIP=10.0.0.5\nBaud=-1\r\nUseIP=1\r\nSockPort=\xC0\r\n");
  EXPECT_EQ(fields(file.load()), fields(s));
}

TEST(SettingsSave, StopsAtTheFirstKeyItCannotWrite) {
  TempDir dir;
  SettingsFile file(dir.file("n.ini"));
  const std::string before = "[#]\r\nSockIP=old\r\nSockPort=1\r\n";
  writeFile(file.path(), before);

  std::filesystem::create_directory(file.path() + ".tmp");
  const Result<void> refused = file.save(make(1, 1, true, "h", "2"));
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.failure().text(), "Unable to write to " + file.path());
  EXPECT_EQ(readFile(file.path()), before);
  std::filesystem::remove(file.path() + ".tmp");

  // A text Windows-1251 cannot hold stops the save at its key; the keys before it are stored.
  const Result<void> unstorable = file.save(make(1, 1, true, "\xE4\xB8\xAD", "2"));
  ASSERT_FALSE(unstorable.ok());
  const std::string message = unstorable.failure().text();
  EXPECT_EQ(message.rfind("Unable to write to " + file.path() + ": ", 0), 0u) << message;
  EXPECT_NE(message.find("\xE4\xB8\xAD"), std::string::npos) << message;
  EXPECT_EQ(readFile(file.path()),
            "[#]\r\nSockIP=old\r\nSockPort=1\r\nPort=1\r\nBaud=1\r\nUseIP=1\r\n");

  SettingsFile nowhere(dir.file("missing/n.ini"));
  const Result<void> noFolder = nowhere.save(LinkSettings{});
  ASSERT_FALSE(noFolder.ok());
  EXPECT_EQ(noFolder.failure().text(), "Unable to write to " + nowhere.path());
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
}

}  // namespace
}  // namespace netsetup
