#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <numeric>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/posix/SerialPort.h"
#include "link/posix/SerialTermios2.h"
#include "link/Sleeper.h"
#include "support/IdleCheck.h"
#include "support/PtyPair.h"
#include "support/RealClock.h"
#include "support/Results.h"

namespace netsetup {
namespace {

using testing::Clock;
using testing::msSince;
using Pty = testing::PtyPair;

// Every rate goes the same way, so one that no Bxxx constant names stands for the rest.
// Hardware flow control stays as found, XON/XOFF goes.
TEST(SerialPortTest, SetsTheRateExactlyInRaw8N1) {
  for (auto [rate, rtsCts] : {std::pair{28800, true}, {115200, false}}) {
    Pty pty;
    termios tio{};
    ASSERT_EQ(::tcgetattr(pty.slave, &tio), 0);
    tio.c_cflag = rtsCts ? (tio.c_cflag | CRTSCTS) : (tio.c_cflag & ~CRTSCTS);
    tio.c_iflag |= IXON | IXOFF;
    ASSERT_EQ(::tcsetattr(pty.slave, TCSANOW, &tio), 0);

    auto port = testing::valueOrNull(SerialPort::open(pty.path, rate));
    ASSERT_NE(port, nullptr) << rate;
    const auto state = readLineState(pty.master);  // the master reports the slave's settings
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->inputRate, static_cast<uint32_t>(rate));
    EXPECT_EQ(state->outputRate, static_cast<uint32_t>(rate));
    EXPECT_TRUE(state->raw8N1) << rate;
    EXPECT_EQ(state->hardwareFlow, rtsCts) << rate;
    EXPECT_FALSE(state->softwareFlow) << rate;
  }
}

TEST(SerialPortTest, OpenFailures) {
  Pty pty;
  auto holder = testing::valueOrNull(SerialPort::open(pty.path, 9600));
  ASSERT_NE(holder, nullptr);
  EXPECT_EQ(testing::valueOrNull(SerialPort::open(pty.path, 9600)), nullptr) << "second exclusive open";
  int exclusive = 0;
  ASSERT_EQ(::ioctl(pty.slave, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 1);
  holder.reset();
  ASSERT_EQ(::ioctl(pty.slave, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 0) << "the tty stays open elsewhere; it must not stay exclusive";

  const int locker = ::open(pty.path.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(locker, 0);
  ASSERT_EQ(::flock(locker, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(testing::valueOrNull(SerialPort::open(pty.path, 9600)), nullptr) << "locked by another process";
  ::close(locker);

  EXPECT_EQ(testing::valueOrNull(SerialPort::open("/dev/does-not-exist", 9600)), nullptr);
  EXPECT_EQ(testing::valueOrNull(SerialPort::open("/dev/null", 9600)), nullptr) << "not a tty";
  EXPECT_EQ(testing::valueOrNull(SerialPort::open(pty.path, 0)), nullptr);
  EXPECT_NE(testing::valueOrNull(SerialPort::open(pty.path, 9600)), nullptr) << "free again after close";
}

TEST(SerialPortTest, EveryByteValuePassesUnalteredBothWays) {
  Pty pty;
  auto port = testing::valueOrNull(SerialPort::open(pty.path, 115200));
  ASSERT_NE(port, nullptr);
  std::vector<uint8_t> all(256);
  std::iota(all.begin(), all.end(), 0);

  ASSERT_EQ(port->send(all.data(), all.size()), all.size());
  std::vector<uint8_t> heard(all.size());
  size_t got = 0;
  while (got < heard.size()) {
    const ssize_t n = ::read(pty.master, heard.data() + got, heard.size() - got);
    ASSERT_GT(n, 0);
    got += static_cast<size_t>(n);
  }
  EXPECT_EQ(heard, all);

  pty.deviceSends(all);
  std::vector<uint8_t> received;
  uint8_t byte = 0;
  while (received.size() < all.size() && port->readByte(byte)) received.push_back(byte);
  EXPECT_EQ(received, all);
}

TEST(SerialPortTest, ReadsPurgesAndIdles) {
  Pty pty;
  auto port = testing::valueOrNull(SerialPort::open(pty.path, 9600));
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(port->adapterLatency()->lowLatency, AdapterLatency::LowLatency::NotSupported) << "and opens all the same";
  RealSleeper sleeper;
  uint8_t byte = 0;

  pty.deviceSends({0x11, 0x22});
  port->purge();
  auto start = Clock::now();
  EXPECT_FALSE(port->readByte(byte)) << "purge leaves no input";
  EXPECT_GE(msSince(start), 15);
  EXPECT_LE(msSince(start), 500);

  pty.deviceSends({0xA5});
  start = Clock::now();
  ASSERT_TRUE(port->readByte(byte));
  EXPECT_EQ(byte, 0xA5);
  EXPECT_LT(msSince(start), 20) << "a buffered byte comes at once";

  testing::expectIdleEndsOnInput(*port, sleeper, pty.master, 0x5A);
}

// Low latency: asked of the driver after the line settings, never a reason to fail, and the
// driver's flags put back on close. A pseudo-terminal has no serial flags, so a stand-in driver
// answers those calls while the tty's own go to a real pseudo-terminal.
using Calls = std::vector<std::string>;
using LowLatency = AdapterLatency::LowLatency;

class StandInDriver final : public IoctlCalls {
 public:
  int ioctl(int fd, unsigned long request, void* argument) override {
    const bool get = request == TIOCGSERIAL, set = request == TIOCSSERIAL;
    // The only other calls are the exclusive flag's and the line settings' (TCGETS2, TCSETS2).
    calls.push_back(get ? "get" : set ? "set" : request == TIOCEXCL || request == TIOCNXCL ? "excl" : "line");
    if (!get && !set) return systemIoctl().ioctl(fd, request, argument);
    if (!hasFlags || (set && refusesSet)) return errno = get ? ENOTTY : EINVAL, -1;
    if (get) *static_cast<serial_struct*>(argument) = serial;
    if (set) serial = *static_cast<serial_struct*>(argument);
    return 0;
  }
  bool hasFlags = true, refusesSet = false;
  serial_struct serial{};
  Calls calls;
};

TEST(SerialPortTest, LowLatencyAskedAfterTheLineSettingsAndUndoneOnClose) {
  constexpr int kOwn = ASYNC_SKIP_TEST, kLow = ASYNC_LOW_LATENCY;  // kOwn: a flag that must survive
  const struct {
    const char* name;
    bool hasFlags, refusesSet;
    int found;
    LowLatency granted;
    Calls atOpenAfterLine, atClose;
  } cases[] = {
      {"a usb-serial driver", true, false, kOwn, LowLatency::On, {"get", "set"}, {"get", "set", "excl"}},
      {"already on", true, false, kOwn | kLow, LowLatency::On, {"get"}, {"excl"}},
      {"a pseudo-terminal", false, false, 0, LowLatency::NotSupported, {"get"}, {"excl"}},
      {"the flag refused", true, true, kOwn, LowLatency::NotSupported, {"get", "set"}, {"excl"}},
  };
  for (const auto& c : cases) {
    Pty pty;
    StandInDriver driver;
    driver.hasFlags = c.hasFlags, driver.refusesSet = c.refusesSet, driver.serial.flags = c.found;
    auto port = testing::valueOrNull(SerialPort::open(pty.path, 9600, driver));
    ASSERT_NE(port, nullptr) << c.name;
    Calls atOpen = {"excl", "line", "line"};
    atOpen.insert(atOpen.end(), c.atOpenAfterLine.begin(), c.atOpenAfterLine.end());
    EXPECT_EQ(driver.calls, atOpen) << c.name;
    EXPECT_EQ(port->adapterLatency(), (AdapterLatency{c.granted, std::nullopt})) << c.name;
    EXPECT_EQ(driver.serial.flags, c.granted == LowLatency::On ? c.found | kLow : c.found) << c.name;
    driver.calls.clear();
    port.reset();
    EXPECT_EQ(driver.calls, c.atClose) << c.name;
    EXPECT_EQ(driver.serial.flags, c.found) << c.name << ": the flags found come back";
  }
}

}  // namespace
}  // namespace netsetup
