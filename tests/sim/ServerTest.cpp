// Real time, real descriptors: the servers against the link's own transports. Kept few.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/Results.h"
#include "InstrumentBus.h"
#include "PtyServer.h"
#include "TcpServer.h"
#include "Transcript.h"
#include "link/StatusCode.h"
#include "link/Umod07.h"
#include "support/LoopbackListener.h"
#include "support/RealClock.h"
#include "support/TempDir.h"

namespace netsetup {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::Clock;

std::string readAll(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  return text;
}

// Reads the whole area in five chunks and writes one chunk back changed.
void readAndWriteArea(Tmod07& link, InstrumentBus& bus, uint8_t address) {
  Bytes area(200);
  for (int k = 0; k < 5; ++k) {
    link.ReadMemory(address, static_cast<uint16_t>(0x0620 + 40 * k), &area[40 * k], 40);
    ASSERT_EQ(link.Status, StatusOk) << "chunk " << k;
  }
  EXPECT_TRUE(bus.with(
      0, [&](Instrument& i) { return std::equal(area.begin(), area.end(), i.memory().begin() + 0x0620); }));
  area[26] = 1;
  link.WriteMemory(address, 0x0620, area.data(), 40);
  ASSERT_EQ(link.Status, StatusOk);
  EXPECT_EQ(bus.with(0, [](Instrument& i) { return i.memory()[0x0620 + 26]; }), 1);
}

TEST(TcpServer, ServesTheLinkClientAfterClientAndLogsFrames) {
  std::FILE* log = std::tmpfile();
  Transcript transcript(log);
  InstrumentBus bus(&transcript);
  bus.add(std::make_unique<Instrument>());
  TcpServer server(bus);
  ASSERT_EQ(testing::failureText(server.open("127.0.0.1", 0)), std::nullopt);
  ASSERT_NE(server.port(), 0);
  server.start();

  Tmod07 link;
  link.SetUseTcp(true);
  link.SetHost("127.0.0.1");
  link.SetTcpPort(server.port());
  for (int session = 0; session < 2; ++session) {
    ASSERT_TRUE(link.Open(0, 0)) << link.Status;
    EXPECT_EQ(link.ReadDeviceType(0), "VRN-207K");
    readAndWriteArea(link, bus, 1);
    link.Close();
  }
  server.stop();
  const std::string text = readAll(log);
  EXPECT_NE(text.find("tcp#1 <- 55 00 FF 00 00 00 AB | to 0, identify, checksum ok"), std::string::npos)
      << text;
  EXPECT_NE(
      text.find(
          "tcp#2 -> AA 01 FE 00 00 08 56 52 4E 2D 32 30 37 4B 47 | from 1, identify 8 bytes \"VRN-207K\""),
      std::string::npos);
  EXPECT_NE(text.find("to 1, write 0x0620 count 40, checksum ok"), std::string::npos);
  std::fclose(log);
}

// Sends the identification request on a plain socket and collects the answer until the
// connection closes or 15 bytes came; returns the bytes and how long they took.
std::pair<Bytes, double> rawIdentify(uint16_t port) {
  const int fd = testing::connectLoopback(port);
  if (fd < 0) return {};
  const uint8_t identify[] = {0x55, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xAB};
  const auto start = Clock::now();
  ::send(fd, identify, sizeof identify, MSG_NOSIGNAL);
  Bytes answer;
  uint8_t byte;
  while (answer.size() < 15) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 5000) <= 0 || ::recv(fd, &byte, 1, 0) != 1) break;
    answer.push_back(byte);
  }
  const double ms = testing::msSince(start);
  ::close(fd);
  return {answer, ms};
}

TEST(TcpServer, TimingFaultsShapeTheAnswer) {
  struct Case {
    const char* name;
    LineTiming timing;
    size_t bytes;
    double atLeastMs;
  };
  const Case cases[] = {
      {"delay", {150, 0, 0, {}}, 15, 140},
      {"byte gap", {0, 20, 0, {}}, 15, 14 * 20 * 0.9},
      {"1200 baud", {0, 0, 1200, {}}, 15, 15 * 10 * 1000.0 / 1200 * 0.9},
      {"drop after 4 bytes", {0, 0, 0, 4u}, 4, 0},
  };
  for (const Case& c : cases) {
    InstrumentBus bus;
    bus.add(std::make_unique<Instrument>());
    TcpServer server(bus, c.timing);
    ASSERT_EQ(testing::failureText(server.open("127.0.0.1", 0)), std::nullopt);
    server.start();
    const auto [answer, ms] = rawIdentify(server.port());
    EXPECT_EQ(answer.size(), c.bytes) << c.name;
    EXPECT_GE(ms, c.atLeastMs) << c.name;
    EXPECT_LT(ms, 4000) << c.name;
    server.stop();
  }
}

// When each byte of the identification answer arrived, in milliseconds after the request.
std::vector<double> identifyArrivals(uint16_t port) {
  const int fd = testing::connectLoopback(port);
  std::vector<double> arrivals;
  const uint8_t identify[] = {0x55, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xAB};
  const auto start = Clock::now();
  ::send(fd, identify, sizeof identify, MSG_NOSIGNAL);
  uint8_t byte;
  for (pollfd p{fd, POLLIN, 0}; arrivals.size() < 15 && ::poll(&p, 1, 3000) > 0 && ::recv(fd, &byte, 1, 0) == 1;) {
    arrivals.push_back(testing::msSince(start));
  }
  ::close(fd);
  return arrivals;
}

TEST(TcpServer, LateByteScopeAndANewTimingShapeTheAnswer) {
  struct Case {
    const char* name;
    unsigned delayMs, lateMs;
    FaultScope scope;
    bool timingCleared;  // setTiming({}) before the request
    double fifthBelow, sixthAtLeast;
  };
  const Case cases[] = {
      {"byte 5 held back", 0, 250, {}, false, 150, 240},
      {"held back only in its scope", 300, 250, {FaultScope::Command::Write, 1}, false, 150, 0},
      {"the timing changed", 300, 250, {}, true, 150, 0},
  };
  for (const Case& c : cases) {
    InstrumentBus bus;
    bus.add(std::make_unique<Instrument>()).faults().scope = c.scope;
    LineTiming timing;
    timing.delayMs = c.delayMs;
    timing.lateByte = LineTiming::LateByte{5, c.lateMs};
    TcpServer server(bus, timing);
    ASSERT_EQ(testing::failureText(server.open("127.0.0.1", 0)), std::nullopt);
    server.start();
    if (c.timingCleared) server.setTiming({});
    const std::vector<double> at = identifyArrivals(server.port());
    ASSERT_EQ(at.size(), 15u) << c.name;
    EXPECT_LT(at[4], c.fifthBelow) << c.name;
    EXPECT_GE(at[5], c.sixthAtLeast) << c.name;
    EXPECT_LT(at[14] - at[5], 100) << c.name << ": the rest follows at once";
    server.stop();
  }
}

TEST(TcpServer, AnIdleClientHoldsUpNoOne) {
  testing::TempDir dir;
  const std::string logPath = dir.file("transcript");
  const auto transcript = testing::valueOrNull(Transcript::openFile(logPath));
  ASSERT_TRUE(transcript);
  InstrumentBus bus(transcript.get());
  bus.add(std::make_unique<Instrument>());
  TcpServer server(bus);
  ASSERT_EQ(testing::failureText(server.open("127.0.0.1", 0)), std::nullopt);
  server.start();

  const int idle = testing::connectLoopback(server.port());
  ASSERT_GE(idle, 0);
  Tmod07 link;
  link.SetUseTcp(true);
  link.SetHost("127.0.0.1");
  link.SetTcpPort(server.port());
  EXPECT_TRUE(link.Open(0, 0)) << link.Status;
  EXPECT_EQ(link.ReadDeviceType(1), "VRN-207K");
  readAndWriteArea(link, bus, 1);
  link.Close();
  ::close(idle);

  // The disconnects are logged by the server's threads as they notice; wait for them.
  const std::string lines[] = {"tcp#1 -- connected from 127.0.0.1:", "tcp#2 -- connected from 127.0.0.1:",
                                "tcp#1 -- closed by the client", "tcp#2 -- closed by the client"};
  auto logged = [&](const std::string& text) {
    return std::all_of(std::begin(lines), std::end(lines),
                       [&](const std::string& line) { return text.find(line) != std::string::npos; });
  };
  std::string text = testing::readFile(logPath);
  for (auto until = Clock::now() + std::chrono::seconds(2); !logged(text) && Clock::now() < until;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    text = testing::readFile(logPath);
  }
  EXPECT_TRUE(logged(text)) << text;
  server.stop();
}

TEST(TcpServer, RefusesAnAddressItCannotBind) {
  InstrumentBus bus;
  TcpServer server(bus);
  EXPECT_FALSE(server.open("localhost", 0).ok());
  EXPECT_FALSE(server.open("192.0.2.1", 0).ok());  // not an address of this machine
}

class PtyServerTest : public ::testing::Test {
 protected:
  testing::TempDir dir_;
  std::string link_ = dir_.file("vrn");
};

TEST_F(PtyServerTest, ServesTheSerialLinkAcrossReopens) {
  for (unsigned baud : {0u, 9600u}) {
    InstrumentBus bus;
    bus.add(std::make_unique<Instrument>());
    PtyServer server(bus, LineTiming{0, 0, baud, {}});
    ASSERT_EQ(testing::failureText(server.open(link_)), std::nullopt);
    EXPECT_EQ(std::filesystem::read_symlink(link_).string(), server.slavePath());
    server.start();

    Tmod07 link;
    link.portMap().set(3, link_);
    for (int session = 0; session < 2; ++session) {
      ASSERT_TRUE(link.Open(3, 115200)) << "baud " << baud << " session " << session;
      EXPECT_EQ(link.ReadDeviceType(1), "VRN-207K") << "baud " << baud;
      readAndWriteArea(link, bus, 1);
      link.Close();
    }
    // Each client marks the line for exclusive use; once it has closed, the server lifts that,
    // or an ordinary user could never open the line a second time.
    const int probe = ::open(server.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(probe, 0);
    int exclusive = 1;
    for (auto until = Clock::now() + std::chrono::seconds(2); Clock::now() < until && exclusive;) {
      ::ioctl(probe, TIOCGEXCL, &exclusive);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::close(probe);
    EXPECT_EQ(exclusive, 0);
    server.stop();
    EXPECT_FALSE(std::filesystem::is_symlink(link_));
  }
}

TEST_F(PtyServerTest, StrictRateHearsOnlyAClientAtTheInstrumentsRate) {
  std::FILE* log = std::tmpfile();
  Transcript transcript(log);
  InstrumentBus bus(&transcript);
  bus.add(std::make_unique<Instrument>());
  PtyServer server(bus, LineTiming{0, 0, 57600, {}, true});
  ASSERT_EQ(testing::failureText(server.open(link_)), std::nullopt);
  server.start();
  // The link sets 9600 and 57600 by their classic codes, 28800 through BOTHER.
  for (auto [rate, heard] : {std::pair{57600, true}, {9600, false}, {28800, false}, {57600, true}}) {
    Tmod07 link;
    link.portMap().set(3, link_);
    if (!heard) {  // a silent exchange costs real time
      ASSERT_TRUE(link.setRetryCount(1));
      ASSERT_TRUE(link.setFirstByteTimeoutMs(60));
    }
    ASSERT_TRUE(link.Open(3, rate)) << rate;
    EXPECT_EQ(link.ReadDeviceType(1), heard ? "VRN-207K" : "") << rate;
    link.Close();
  }
  server.stop();
  EXPECT_EQ(bus.with(0, [](Instrument& i) { return i.identifyRequests(); }), 2u);  // noise is never parsed
  const std::string text = readAll(log);
  for (std::string rate : {"9600", "28800"}) {
    const std::string line =
        "pty -- line at " + rate + " baud, instrument at 57600: bytes taken as noise, no answer";
    EXPECT_NE(text.find(line), std::string::npos) << text;
    EXPECT_EQ(text.find(line), text.rfind(line)) << "once, though the client writes byte by byte";
  }
  std::fclose(log);
}

TEST_F(PtyServerTest, ReplacesAStaleLinkButNeverAFile) {
  InstrumentBus bus;
  bus.add(std::make_unique<Instrument>());
  std::filesystem::create_symlink("/nonexistent", link_);
  PtyServer replacing(bus);
  EXPECT_EQ(testing::failureText(replacing.open(link_)), std::nullopt);
  replacing.stop();

  const std::string file = dir_.file("file");
  testing::writeFile(file, "");
  PtyServer refused(bus);
  EXPECT_FALSE(refused.open(file).ok());
  EXPECT_TRUE(std::filesystem::is_regular_file(file));
}

}  // namespace
}  // namespace netsetup
