// A serial port found held when netsetup-cli opens it: the holders are looked up after the refusal,
// so a run that let go in between must not leave the port named as held by someone else.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/Commands.h"
#include "support/ScriptedLine.h"

namespace netsetup::cli {
namespace {

SerialOpenFailure heldBy(std::string program) { return {{}, PortInUse{std::vector<std::string>{std::move(program)}}}; }

TEST(PortHeld, AHolderSeenAfterTheRefusalIsLookedAtOnceMore) {
  struct Case {
    const char* name;
    std::vector<SerialOpenFailure> refusals;  // then the port is refused without a holder
    std::vector<std::string> options;
    size_t opens;
  };
  const Case cases[] = {
      {"another program keeps it", {heldBy("minicom"), heldBy("minicom")}, {}, 2},
      {"the holder let go, the port went away", {heldBy("minicom")}, {}, 2},
      {"no wait asked for", {heldBy("minicom")}, {"--wait", "0"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::ScriptedFactory factory;
    testing::CountingSleeper sleeper;
    factory.serialFailuresFirst.assign(c.refusals.begin(), c.refusals.end());
    factory.serialFails = true;
    Tmod07 link(factory, sleeper);
    std::ostringstream out, err;
    std::vector<std::string> args{"--serial", "COM3", "--baud", "9600", "--address", "1", "identify"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    EXPECT_EQ(runCli(args, link, Io{out, err}), kExitLink) << err.str();
    EXPECT_EQ(factory.openedDevices.size(), c.opens);
    EXPECT_EQ(err.str().find("waiting for it"), std::string::npos) << err.str();
  }
}

}  // namespace
}  // namespace netsetup::cli
