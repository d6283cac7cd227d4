// Low latency on open: asked of the driver after the line settings, never a reason to fail, and
// the driver's flags put back on close. A pseudo-terminal has no serial flags, so a stand-in
// driver answers those calls while the tty's own go to a real pseudo-terminal.
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/posix/SerialPort.h"
#include "support/PtyPair.h"
#include "support/Results.h"

namespace netsetup {
namespace testing {
const char* termios2RequestName(unsigned long request);
}  // namespace testing
namespace {

using Calls = std::vector<std::string>;
using LowLatency = AdapterLatency::LowLatency;

class StandInDriver final : public IoctlCalls {
 public:
  int ioctl(int fd, unsigned long request, void* argument) override {
    const std::string name = nameOf(request);
    calls.push_back(name);
    if (name == refuses || (!hasSerialFlags && (request == TIOCGSERIAL || request == TIOCSSERIAL))) {
      errno = request == TIOCGSERIAL ? ENOTTY : EINVAL;
      return -1;
    }
    if (request == TIOCGSERIAL) return *static_cast<serial_struct*>(argument) = serial, 0;
    if (request == TIOCSSERIAL) return serial = *static_cast<serial_struct*>(argument), 0;
    return systemIoctl().ioctl(fd, request, argument);
  }

  bool hasSerialFlags = true;
  std::string refuses;  // the one call that fails
  serial_struct serial{};
  Calls calls;

 private:
  static std::string nameOf(unsigned long request) {
    if (const char* name = testing::termios2RequestName(request)) return name;
    switch (request) {
      case TIOCEXCL: return "TIOCEXCL";
      case TIOCNXCL: return "TIOCNXCL";
      case TIOCGSERIAL: return "TIOCGSERIAL";
      case TIOCSSERIAL: return "TIOCSSERIAL";
      default: return std::to_string(request);
    }
  }
};

constexpr int kOther = ASYNC_SKIP_TEST;  // a flag of the driver's own that must survive
const Calls kLineSettings = {"TIOCEXCL", "TCGETS2", "TCSETS2"};

Calls operator+(Calls a, const Calls& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(LowLatency, AskedAfterTheLineSettingsAndUndoneOnClose) {
  const struct {
    const char* name;
    bool hasSerialFlags;
    int flagsFound;
    const char* refuses;
    bool opens;
    LowLatency granted;
    int flagsWhileOpen;
    Calls atOpen, atClose;
  } cases[] = {
      {"a usb-serial driver", true, kOther, "", true, LowLatency::On, kOther | ASYNC_LOW_LATENCY,
       kLineSettings + Calls{"TIOCGSERIAL", "TIOCSSERIAL"}, {"TIOCGSERIAL", "TIOCSSERIAL", "TIOCNXCL"}},
      {"low latency already on", true, kOther | ASYNC_LOW_LATENCY, "", true, LowLatency::On,
       kOther | ASYNC_LOW_LATENCY, kLineSettings + Calls{"TIOCGSERIAL"}, {"TIOCNXCL"}},
      {"no serial flags (a pseudo-terminal)", false, 0, "", true, LowLatency::NotSupported, 0,
       kLineSettings + Calls{"TIOCGSERIAL"}, {"TIOCNXCL"}},
      {"the flag refused", true, kOther, "TIOCSSERIAL", true, LowLatency::NotSupported, kOther,
       kLineSettings + Calls{"TIOCGSERIAL", "TIOCSSERIAL"}, {"TIOCNXCL"}},
      {"line settings refused", true, kOther, "TCSETS2", false, LowLatency::NotSupported, kOther, kLineSettings,
       {"TIOCNXCL"}},
  };
  for (const auto& c : cases) {
    testing::PtyPair pty;
    StandInDriver driver;
    driver.hasSerialFlags = c.hasSerialFlags;
    driver.refuses = c.refuses;
    driver.serial.flags = c.flagsFound;

    auto port = testing::valueOrNull(SerialPort::open(pty.path, 9600, driver));
    ASSERT_EQ(port != nullptr, c.opens) << c.name;
    if (port) {
      EXPECT_EQ(driver.calls, c.atOpen) << c.name;
      EXPECT_EQ(port->adapterLatency(), (AdapterLatency{c.granted, std::nullopt})) << c.name;
      EXPECT_EQ(driver.serial.flags, c.flagsWhileOpen) << c.name;
      driver.calls.clear();
      port.reset();
    } else {
      driver.calls.erase(driver.calls.begin(), driver.calls.begin() + c.atOpen.size());
    }
    EXPECT_EQ(driver.calls, c.atClose) << c.name;
    EXPECT_EQ(driver.serial.flags, c.flagsFound) << c.name << ": the flags found come back";
  }
}

// The real calls on a real pseudo-terminal, which has no serial flags: the port opens and reads.
TEST(LowLatency, APseudoTerminalOpensWithoutIt) {
  testing::PtyPair pty;
  auto port = testing::valueOrNull(SerialPort::open(pty.path, 9600));
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(port->adapterLatency(), (AdapterLatency{LowLatency::NotSupported, std::nullopt}));
  pty.deviceSends({0x5A});
  uint8_t byte = 0;
  ASSERT_TRUE(port->readByte(byte));
  EXPECT_EQ(byte, 0x5A);
}

}  // namespace
}  // namespace netsetup
