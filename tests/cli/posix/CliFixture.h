// netsetup-cli's commands run in the test's own process against simulated instruments on TCP,
// with the program's own code and the real transports.
#pragma once
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Instrument.h"
#include "InstrumentBus.h"
#include "InstrumentMemory.h"
#include "TcpServer.h"
#include "cli/Commands.h"
#include "cli/session/ExitCodes.h"
#include "support/Results.h"
#include "support/TempDir.h"

namespace netsetup::cli {

// Two instruments, at addresses 1 and 2, behind one TCP port.
class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    // The user's folder for backups and the log of writes, the test's own.
    ::setenv("XDG_STATE_HOME", dir.file("state").c_str(), 1);
    for (uint8_t address : {1, 2}) bus.add(std::make_unique<Instrument>(address));
    ASSERT_EQ(testing::failureText(tcp.open("127.0.0.1", 0)), std::nullopt);
    tcp.start();
  }
  void TearDown() override { tcp.stop(); }

  // Runs one command line; `out` and `err` receive what the program printed.
  int run(std::vector<std::string> args) {
    out.str({});
    err.str({});
    Tmod07 link;
    EXPECT_TRUE(link.setRetryCount(retries));
    const auto count = [this]() -> unsigned {
      if (interruptsWhen) return interruptsWhen();
      return stopWhen && stopWhen() ? 1 : 0;
    };
    return runCli(args, link, Io{out, err}, count);
  }
  std::string endpoint() const { return "127.0.0.1:" + std::to_string(tcp.port()); }
  std::vector<std::string> over(std::vector<std::string> args) {
    args.insert(args.begin(), {"--tcp", endpoint()});
    return args;
  }
  InstrumentMemory memory(size_t instrument = 0) {
    return bus.with(instrument, [](Instrument& i) { return i.memory(); });
  }
  unsigned writes(size_t instrument = 0) {
    return bus.with(instrument, [](Instrument& i) { return i.writeRequests(); });
  }

  testing::TempDir dir;
  InstrumentBus bus;
  TcpServer tcp{bus};
  std::ostringstream out, err;
  uint32_t retries = 5;  // one attempt keeps a test of a failing instrument quick
  std::function<bool()> stopWhen;             // Ctrl+C pressed once when this turns true
  std::function<unsigned()> interruptsWhen;  // or: how many interrupts have come by now
};

// Bytes a test puts at an offset of the settings area, or expects there.
using AreaBytes = std::vector<std::pair<size_t, std::vector<uint8_t>>>;

inline std::vector<uint8_t> textBytes(std::string_view text, size_t size) {
  std::vector<uint8_t> bytes(size, 0);
  std::copy(text.begin(), text.end(), bytes.begin());
  return bytes;
}

// The settings area in an instrument's memory, so a failure shows the bytes that matter.
inline SettingsArea areaIn(const InstrumentMemory& memory) {
  SettingsArea area;
  std::copy_n(memory.begin() + kSettingsAreaAddress, area.size(), area.begin());
  return area;
}

inline InstrumentMemory withBytes(InstrumentMemory memory, const AreaBytes& bytes) {
  for (const auto& [offset, values] : bytes) {
    std::copy(values.begin(), values.end(), memory.begin() + kSettingsAreaAddress + offset);
  }
  return memory;
}

}  // namespace netsetup::cli
