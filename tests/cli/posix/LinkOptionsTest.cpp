// The link options against instruments that answer slowly, a serial line shared by several
// programs, and a host given by name.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "CliFixture.h"
#include "PtyServer.h"

namespace netsetup::cli {
namespace {

using netsetup::testing::readFile;

// Answers that take `delayMs`, read with and without --timeout.
TEST_F(Cli, ASlowInstrumentNeedsALongerTimeoutAndIsToldSo) {
  struct Case {
    unsigned delayMs;
    std::vector<std::string> options;
    int exit;
    const char* says;
  };
  const Case cases[] = {
      {300, {}, kExitOk, ""},
      {600, {}, kExitIdentify,
       "The instrument answers more slowly than the link waits: 60 bytes came after the 400 ms it waits for an "
       "answer's first byte. Give --timeout MS"},
      {600, {"--timeout", "1000"}, kExitOk, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.delayMs) + " ms");
    LineTiming timing;
    timing.delayMs = c.delayMs;
    tcp.setTiming(timing);
    std::vector<std::string> args = over({"read"});
    args.insert(args.end(), c.options.begin(), c.options.end());
    EXPECT_EQ(run(args), c.exit) << err.str();
    EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
  }
}

// A host by its name: looked up once, the address shown in the trace and in apply's object.
TEST_F(Cli, AHostGivenByName) {
  const std::string named = "localhost:" + std::to_string(tcp.port());
  ASSERT_EQ(run({"--tcp", named, "identify", "--trace"}), kExitOk) << err.str();
  EXPECT_NE(err.str().find(" == localhost is 127.0.0.1\n"), std::string::npos) << err.str();
  ASSERT_EQ(run({"--tcp", named, "apply", "--json", "--check", "--set", "port=10001"}), kExitOk) << err.str();
  EXPECT_NE(out.str().find("\"link\": \"TCP " + named + " (127.0.0.1)\"}"), std::string::npos) << out.str();
  EXPECT_EQ(run({"--tcp", "no-such-host.invalid", "read"}), kExitLink);
  EXPECT_NE(err.str().find("cannot find the host no-such-host.invalid"), std::string::npos) << err.str();
}

// Instruments 1 and 2 on one serial line: while another netsetup-cli talks to one, a run for the
// other waits for the line (only for another netsetup-cli, and only as long as --wait says).
TEST_F(Cli, ASharedSerialLineIsWaitedForWhenAnotherRunHoldsIt) {
  InstrumentBus line;
  for (uint8_t address : {1, 2}) line.add(std::make_unique<Instrument>(address));
  line.with(1, [](Instrument& i) { i.setAnswersBroadcast(false); });
  LineTiming slow;
  slow.delayMs = 150;  // the other run holds the line about a second
  PtyServer pty(line, slow);
  const std::string device = dir.file("vrn");
  ASSERT_EQ(testing::failureText(pty.open(device)), std::nullopt);
  pty.start();
  struct Case {
    const char* name;
    bool otherRun;  // else this process holds the line, as another program would
    std::vector<std::string> options;
    int exit;
    const char* says;
  };
  const Case cases[] = {
      {"another run", true, {}, kExitOk, " is in use by another netsetup-cli; waiting for it, up to 60 s (--wait)"},
      {"another run, no wait", true, {"--wait", "0"}, kExitLink, "is in use by another program: "},
      {"another program", false, {}, kExitLink, "is in use by another program: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pid_t other = -1;
    std::unique_ptr<Tmod07> held;
    if (c.otherRun) {
      other = ::fork();
      if (other == 0) {
        ::execl(NETSETUP_CLI_EXE, NETSETUP_CLI_EXE, "--serial", device.c_str(), "--address", "1", "read",
                static_cast<char*>(nullptr));
        ::_exit(127);
      }
      for (int ms = 0; ms < 3000 && line.with(0, [](Instrument& i) { return i.identifyRequests(); }) == 0; ++ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    } else {
      held = std::make_unique<Tmod07>();
      held->portMap().set(1, device);
      ASSERT_TRUE(held->Open(1, 9600));
    }
    std::vector<std::string> args{"--serial", device, "--address", "2", "read"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    EXPECT_EQ(run(args), c.exit) << err.str();
    EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
    if (other > 0) ::waitpid(other, nullptr, 0);
    line.with(0, [](Instrument& i) { i = Instrument(1); });
  }
  pty.stop();
}

}  // namespace
}  // namespace netsetup::cli
