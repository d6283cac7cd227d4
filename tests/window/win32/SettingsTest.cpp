#include "Driver.h"

namespace netsetup::testing {
namespace {

using namespace ids;

TEST(WindowSettings, CloseSavesTheFiveKeysAndKeepsTheRest) {
  Program p("; by hand\r\n[#]\r\nUseIP=1\r\nSockIP=10.0.0.7\r\nExtra=x\r\n[Ports]\r\nCOM2=/dev/ttyS3\r\n");
  ::SendMessageW(p.item(CBBaud), CB_SETCURSEL, 3, 0);
  p.click(RBSerial);
  EXPECT_FALSE(p.checked(RBIP));
  EXPECT_TRUE(p.close().empty());
  EXPECT_FALSE(p.running());
  EXPECT_EQ(readText(p.iniPath),
            "; by hand\r\n[#]\r\nUseIP=0\r\nSockIP=10.0.0.7\r\nExtra=x\r\nPort=0\r\nBaud=3\r\nSockPort=10001\r\n"
            "[Ports]\r\nCOM2=/dev/ttyS3\r\n");
}

TEST(WindowSettings, FailedSaveKeepsTheWindowOnceThenLetsGo) {
  Program p("[#]\r\nPort=2\r\n");
  // A folder where the temporary file goes blocks the save.
  std::filesystem::create_directory(p.iniPath.wstring() + L".tmp");
  const std::vector<Box> boxes = p.close();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"Unable to write to " + p.iniPath.wstring() + L".");
  EXPECT_TRUE(boxes[0].icon);
  EXPECT_TRUE(p.running());
  EXPECT_TRUE(p.close().empty());
  EXPECT_FALSE(p.running());
  EXPECT_EQ(readText(p.iniPath), "[#]\r\nPort=2\r\n");
}

}  // namespace
}  // namespace netsetup::testing
