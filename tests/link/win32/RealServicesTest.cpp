// What runs on wine's own services: its inet_addr as the reference for our address parser, and
// the real transports through the channel against the running Linux simulator, over TCP on
// loopback and over COM5, which the wine prefix maps to the simulator's pseudo-terminal.
#include <cstring>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "link/Umod07.h"
#include "link/win32/WinApi.h"
#include "netblock/SettingsTransfer.h"

namespace netsetup {
namespace {

// Left out: inet_addr(" ") gives 0.0.0.0, a Windows quirk that wine copies; ours refuses a text
// of blanks, and a host text without a "." never reaches the parser anyway.
TEST(Ipv4Agreement, OurParserReadsEveryTextAsInetAddrDoes) {
  for (const char* text : {"1.2.3.4", "1.2.3", "1.2", "203569230", "010.0.0.1", "0x7f.1", "1.2.3.0xaA", "1.2.3.08",
                           "1.1.1.0x", "1234BEEF", "256.1.1.1", "3.4.5.6.7", "1.2.3.", "1..3.4", " 1.2.3.4",
                           "+1.2.3.4", "1.2.3.4 junk", "1.2.3.4\tjunk", "1.2.3.4x", "127.1.1.1:123", "", "  ",
                           "255.255.255.255", "1.16777215", "1.16777216", "1.2.65536", "4294967296"}) {
    const unsigned long theirs = ::inet_addr(text);
    Ipv4Octets expected;
    std::memcpy(expected.data(), &theirs, expected.size());  // network order in memory
    EXPECT_EQ(formatIpv4(inetAddr(text)), formatIpv4(expected)) << '"' << text << '"';
  }
}

void useTcp(Tmod07& link, uint16_t port) {
  link.SetUseTcp(true);
  link.SetHost("127.0.0.1");
  link.SetTcpPort(port);
}

// The same area over both lines: the zeros and control bytes it holds pass unaltered.
TEST(Win32Transports, ReadAndWriteBackTheSettingsArea) {
  std::ifstream endpoints(NETSETUP_SIM_DIR "/endpoints");
  std::string tcpLine;  // "tcp 127.0.0.1:PORT"
  while (std::getline(endpoints, tcpLine) && tcpLine.rfind("tcp ", 0) != 0) continue;
  SettingsArea area[2]{};
  for (bool tcp : {false, true}) {
    const char* name = tcp ? "tcp" : "COM5";
    Tmod07 link;
    if (tcp) useTcp(link, static_cast<uint16_t>(std::stoi(tcpLine.substr(tcpLine.rfind(':') + 1))));
    ASSERT_TRUE(link.Open(5, 9600)) << name << " status " << link.Status;
    EXPECT_EQ(link.ReadDeviceType(0), "VRN-207K") << name;
    for (size_t offset = 0; offset < kSettingsAreaSize; offset += kReadChunkSize) {
      link.ReadMemory(0, static_cast<uint16_t>(kSettingsAreaAddress + offset), &area[tcp][offset], kReadChunkSize);
      ASSERT_EQ(link.Status, StatusOk) << name << " chunk at " << offset;
    }
    SettingsArea unchanged = area[tcp];
    link.WriteMemory(0, kSettingsAreaAddress, unchanged.data(), kWriteChunkSizes[0]);
    EXPECT_EQ(link.Status, StatusOk) << name;
    link.Close();
  }
  EXPECT_EQ(area[0], area[1]);
  EXPECT_NE(area[0], SettingsArea{});
}

TEST(Win32Transports, OpenFailures) {
  Tmod07 refused, absent;
  WSADATA data;
  ASSERT_EQ(::WSAStartup(MAKEWORD(2, 2), &data), 0);
  // A loopback port bound but not listening refuses connections.
  const SOCKET bound = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{AF_INET, 0, {}, {}};
  address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  ASSERT_EQ(::bind(bound, reinterpret_cast<sockaddr*>(&address), length), 0);
  ASSERT_EQ(::getsockname(bound, reinterpret_cast<sockaddr*>(&address), &length), 0);
  useTcp(refused, ::ntohs(address.sin_port));
  EXPECT_FALSE(refused.Open(0, 9600));
  EXPECT_EQ(refused.Status, ErrConnect);
  EXPECT_NE(refused.openFailureDetail(Language::English).find("was refused"), std::string::npos) << refused.openFailureDetail(Language::English);
  refused.Close();
  ::closesocket(bound);

  EXPECT_FALSE(absent.Open(12, 9600));
  EXPECT_EQ(absent.Status, ErrPortOpen);
  // The user learns which ports do exist: the wine prefix maps COM5.
  const std::string detail = absent.openFailureDetail(Language::English);
  EXPECT_NE(detail.find("COM12 does not exist"), std::string::npos) << detail;
  EXPECT_NE(detail.find("COM5"), std::string::npos) << detail;
}

}  // namespace
}  // namespace netsetup
