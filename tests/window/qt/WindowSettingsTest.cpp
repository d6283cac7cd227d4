#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

#include "WindowFixture.h"

namespace netsetup {
namespace {

using testing::readFile;

class WindowSettings : public ::testing::Test, public testing::WindowFixture {};

TEST_F(WindowSettings, LoadRules) {
  struct Case {
    const char* name;
    const char* file;  // nullptr: no file at all
    int port, baud;
    bool tcp;
    const char* ip;
    const char* tcpPort;
  };
  const Case cases[] = {
      {"no file", nullptr, 0, 0, false, "", "10001"},
      {"port 3", "[#]\r\nPort=3\r\n", 3, 0, false, "", "10001"},
      {"port 0x3", "[#]\r\nPort=0x3\r\n", 3, 0, false, "", "10001"},
      {"port 16", "[#]\r\nPort=16\r\n", -1, 0, false, "", "10001"},
      {"port -1", "[#]\r\nPort=-1\r\n", -1, 0, false, "", "10001"},
      {"empty port", "[#]\r\nPort=\r\n", 0, 0, false, "", "10001"},
      {"port not a number", "[#]\r\nPort=abc\r\n", 0, 0, false, "", "10001"},
      {"baud 5", "[#]\r\nBaud=5\r\n", 0, 5, false, "", "10001"},
      {"baud 6", "[#]\r\nBaud=6\r\n", 0, -1, false, "", "10001"},
      {"UseIP true reads false", "[#]\r\nUseIP=true\r\n", 0, 0, false, "", "10001"},
      {"UseIP 1", "[#]\r\nUseIP=1\r\nSockIP=127.0.0.1\r\nSockPort=10002\r\n", 0, 0, true, "127.0.0.1", "10002"},
      {"empty SockPort stays empty", "[#]\r\nSockPort=\r\n", 0, 0, false, "", ""},
      {"names ignore case", "[#]\r\nport=2\r\nUSEIP=2\r\n", 2, 0, true, "", "10001"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(iniPath);
    if (c.file) testing::writeFile(iniPath, c.file);
    TMainFrm& w = open();
    EXPECT_EQ(w.CBPort->currentIndex(), c.port);
    EXPECT_EQ(w.CBBaud->currentIndex(), c.baud);
    EXPECT_EQ(w.RBIP->isChecked(), c.tcp);
    EXPECT_EQ(w.RBSerial->isChecked(), !c.tcp);
    EXPECT_FALSE(w.RBIP->isEnabled());
    EXPECT_EQ(w.EIP->text(), QString(c.ip));
    EXPECT_EQ(w.EPort->text(), QString(c.tcpPort));
  }
}

TEST_F(WindowSettings, DefaultRunWritesTheFiveKeys) {
  TMainFrm& w = open();
  EXPECT_TRUE(w.close());
  EXPECT_EQ(readFile(iniPath), "[#]\r\nPort=0\r\nBaud=0\r\nUseIP=0\r\nSockIP=\r\nSockPort=10001\r\n");
}

TEST_F(WindowSettings, SerialClickedAfterTcpIsSaved) {
  TMainFrm& w = open("[#]\r\nUseIP=1\r\nSockIP=10.0.0.7\r\n");
  w.show();
  ASSERT_TRUE(w.RBIP->isChecked());
  QTest::mouseClick(w.RBSerial, Qt::LeftButton, {}, QPoint(5, w.RBSerial->height() / 2));
  EXPECT_TRUE(w.RBSerial->isChecked());
  EXPECT_FALSE(w.RBIP->isChecked());
  EXPECT_TRUE(w.close());
  EXPECT_NE(readFile(iniPath).find("UseIP=0\r\n"), std::string::npos);
}

TEST_F(WindowSettings, SaveKeepsEverythingElseInTheFile) {
  const std::string before =
      "; written by hand\r\n[other]\r\nPort=9\r\n\r\n[#]\r\n  port = 3 \r\nbaud=1\r\n; keep me\r\n"
      "UseIP=0\r\nSockIP=\r\nSockPort=10001\r\nExtra=x\r\n[Ports]\r\nCOM2=/dev/ttyS3\r\n";
  TMainFrm& w = open(before);
  w.CBBaud->setCurrentIndex(4);
  EXPECT_TRUE(w.close());
  const std::string after =
      "; written by hand\r\n[other]\r\nPort=9\r\n\r\n[#]\r\nport=3\r\nbaud=4\r\n; keep me\r\n"
      "UseIP=0\r\nSockIP=\r\nSockPort=10001\r\nExtra=x\r\n[Ports]\r\nCOM2=/dev/ttyS3\r\n";
  EXPECT_EQ(readFile(iniPath), after);
}

TEST_F(WindowSettings, PortMapReachesTheLinkAndTheTooltips) {
  TMainFrm& w = open("[Ports]\r\nCOM5=/dev/null\r\nCOM6=/nonexistent/tty\r\n");
  EXPECT_EQ(link.portMap().device(5), "/dev/null");
  // Each entry says which device it opens and whether that is there now.
  EXPECT_EQ(w.CBPort->itemData(4, Qt::ToolTipRole).toString(), "/dev/null: present");
  EXPECT_EQ(w.CBPort->itemData(5, Qt::ToolTipRole).toString(), "/nonexistent/tty: not present");
  EXPECT_TRUE(w.CBPort->itemData(0, Qt::ToolTipRole).toString().startsWith("/dev/ttyUSB0: "));
  EXPECT_TRUE(w.CBPort->itemData(15, Qt::ToolTipRole).toString().startsWith("/dev/ttyS3: "));
}

TEST_F(WindowSettings, FailedSaveKeepsTheWindowOnceThenLetsGo) {
  const std::string before = "[#]\r\nPort=2\r\n";
  TMainFrm& w = open(before);
  w.show();
  // Root ignores permissions, so a folder standing where the temporary file goes blocks it.
  std::filesystem::create_directory(iniPath + ".tmp");
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.isVisible());
  ASSERT_EQ(messages.shown.size(), 1);
  EXPECT_EQ(messages.shown[0], QString::fromStdString("error: Unable to write to " + iniPath));
  EXPECT_EQ(readFile(iniPath), before);

  EXPECT_TRUE(w.close());
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(messages.shown.size(), 1);
}

}  // namespace
}  // namespace netsetup
