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

TEST_F(WindowSettings, PortMapReachesTheLinkAndTheTooltips) {
  TMainFrm& w = open("[Ports]\r\nCOM5=/dev/null\r\nCOM6=/nonexistent/tty\r\n");
  EXPECT_EQ(link.portMap().device(5), "/dev/null");
  // Each entry says which device it opens and whether that is there now.
  EXPECT_EQ(w.CBPort->itemData(4, Qt::ToolTipRole).toString(), "/dev/null: подключён");
  EXPECT_EQ(w.CBPort->itemData(5, Qt::ToolTipRole).toString(), "/nonexistent/tty: не подключён");
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
