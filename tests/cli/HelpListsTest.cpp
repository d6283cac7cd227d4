// The help names the baud list and the scan's order as the code has them.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli/Commands.h"
#include "cli/HelpText.h"

namespace netsetup::cli {
namespace {

TEST(HelpText, NamesTheBaudListAndTheScanOrder) {
  EXPECT_NE(helpText("").find("  --baud RATE         9600 (default), 19200, 28800, 38400, 57600 or 115200\n"),
            std::string::npos);
  std::string scan = helpText("scan");
  std::replace(scan.begin(), scan.end(), '\n', ' ');
  std::string order;
  for (size_t entry : kScanOrder) order += (order.empty() ? "(" : ", ") + std::to_string(BaudRates[entry]);
  EXPECT_NE(scan.find(order + ")"), std::string::npos) << order;
}

}  // namespace
}  // namespace netsetup::cli
