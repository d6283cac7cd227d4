// The operating system lets the tool down: the serial adapter is pulled mid-answer, the TCP peer
// resets the connection, the path names no serial port. Each ends with the right message, the
// link closed, and no processor spent spinning while the time-outs run.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "actions/Actions.h"
#include "link/Umod07.h"
#include "support/LoopbackListener.h"
#include "support/PtyPair.h"
#include "support/RealClock.h"
#include "support/TempDir.h"

namespace netsetup {
namespace {

using testing::Clock;

double cpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Ran {
  ActionOutcome outcome;
  double seconds = 0, cpu = 0;
  bool leftOpen = false;
};

Ran read(Tmod07& link, const LinkChoice& choice) {
  Ran ran;
  const double cpu = cpuSeconds();
  const auto start = Clock::now();
  ran.outcome = readAction(link, choice, "1");
  ran.seconds = testing::msSince(start) / 1000;
  ran.cpu = cpuSeconds() - cpu;
  ran.leftOpen = link.IsOpen;
  return ran;
}

// Waits for a whole identification request on `fd`, answers its first three bytes, then `cut`.
void answerPartlyThen(int fd, const std::function<void()>& cut) {
  std::vector<uint8_t> request;
  uint8_t byte = 0;
  while (request.size() < 7 && ::read(fd, &byte, 1) == 1) request.push_back(byte);
  const uint8_t part[] = {0xAA, 0x00, 0xFF};
  (void)!::write(fd, part, sizeof part);
  cut();
}

TEST(OsFailure, TheSerialAdapterPulledMidAnswer) {
  testing::PtyPair pty;
  Tmod07 link;
  link.portMap().set(1, pty.path);
  std::thread device(answerPartlyThen, pty.master, [&] {
    ::close(pty.master);  // the adapter is gone: the line hangs up
    pty.master = -1;
  });
  const Ran ran = read(link, LinkChoice{});
  device.join();
  EXPECT_EQ(ran.outcome.text, "Ошибка определения типа устройства (1)");
  EXPECT_FALSE(ran.leftOpen);
  EXPECT_LT(ran.seconds, 12.0);  // the serial line's five silent attempts, about 6.5 s
  EXPECT_LT(ran.cpu, 1.0) << "spun for " << ran.cpu << " s of processor in " << ran.seconds << " s";
}

TEST(OsFailure, TheTcpPeerResetsMidAnswer) {
  testing::LoopbackListener listener;
  Tmod07 link;
  std::thread peer([&] {
    const int fd = listener.accept();
    answerPartlyThen(fd, [fd] {
      const linger reset{1, 0};  // close with a reset, not an orderly end
      ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
      ::close(fd);
    });
  });
  const Ran ran = read(link, LinkChoice{true, 0, 0, "127.0.0.1", std::to_string(listener.port())});
  peer.join();
  EXPECT_EQ(ran.outcome.text, "Ошибка определения типа устройства (1)");
  EXPECT_FALSE(ran.leftOpen);
  EXPECT_LT(ran.seconds, 8.0);  // five attempts over TCP, about 3.8 s
  EXPECT_LT(ran.cpu, 1.0) << "spun for " << ran.cpu << " s of processor in " << ran.seconds << " s";
}

TEST(OsFailure, APathThatIsNoSerialPortDoesNotOpen) {
  testing::TempDir dir;
  testing::writeFile(dir.file("plain"), "not a tty");
  for (const std::string& path : {dir.file("plain"), std::string("/dev/null"), dir.path().string()}) {
    Tmod07 link;
    link.portMap().set(1, path);
    const Ran ran = read(link, LinkChoice{});
    EXPECT_EQ(ran.outcome.text, "Ошибка соединения (1)") << path;
    EXPECT_EQ(link.Status, ErrPortOpen);
    EXPECT_NE(link.openFailureDetail(Language::English).find("is not a serial port"), std::string::npos) << link.openFailureDetail(Language::English);
    EXPECT_FALSE(ran.leftOpen);
    EXPECT_LT(ran.seconds, 1.0);
  }
}

}  // namespace
}  // namespace netsetup
