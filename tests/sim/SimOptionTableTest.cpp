// The fault matrix, the tests and the servers tell the simulator what to do through the one
// option table: its arguments must read back as the options they were made from.
#include <gtest/gtest.h>

#include "SimOptions.h"
#include "support/FaultMatrix.h"

namespace netsetup {
namespace {

TEST(SimOptionTable, ArgumentsReadBackAsTheOptionsTheyCameFrom) {
  std::vector<SimOptions> cases;
  for (const matrix::Row& row : matrix::rows()) {
    for (const matrix::Action action : {matrix::Action::Read, matrix::Action::Write}) {
      const matrix::SimSetup setup = row.setup(action, {200, 20, 300, 3});
      SimOptions& o = cases.emplace_back();
      o.typeString = setup.typeString;
      o.faults = setup.faults;
      o.timing = setup.timing;
      if (o.timing.strictRate) o.ptyLink = "/tmp/p";  // a rate is strict on a pseudo-terminal only
    }
  }
  SimOptions& all = cases.emplace_back();
  all = {true, true, "10.0.0.1", 0, "/tmp/p", {1, 0}, "", "m", "s", "-", true, {}, {}};
  all.faults.echoWrites = true;
  all.faults.writeAnswer = std::vector<uint8_t>{0x00, 0xAB};
  all.timing = {5, 1, 57600, 0, true, LineTiming::LateByte{2, 30}};
  SimOptions& ptyOnly = cases.emplace_back();
  ptyOnly.serveTcp = false;
  ptyOnly.ptyLink = "/tmp/p";

  for (const SimOptions& options : cases) {
    const std::vector<std::string> arguments = simArguments(options);
    const Result<SimOptions> read = parseSimOptions(arguments);
    ASSERT_TRUE(read.ok()) << read.failure().text();
    EXPECT_TRUE(*read == options) << ::testing::PrintToString(arguments);
  }
  EXPECT_EQ(simArguments(SimOptions{}), std::vector<std::string>{});
}

}  // namespace
}  // namespace netsetup
