// Each command once against the simulated instrument, over TCP and over a pseudo-terminal, with
// the program's own code and the real transports.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <numeric>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/Results.h"
#include "Instrument.h"
#include "InstrumentBus.h"
#include "InstrumentMemory.h"
#include "PtyServer.h"
#include "TcpServer.h"
#include "cli/BackupFile.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "support/TempDir.h"

namespace netsetup::cli {
namespace {

using netsetup::testing::readFile;
using netsetup::testing::TempDir;
using netsetup::testing::writeFile;

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
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
    if (stopWhen) link.setStopCheck(stopWhen);
    return runCli(args, link, Io{out, err});
  }
  std::vector<std::string> over(std::vector<std::string> args) {
    args.insert(args.begin(), {"--tcp", "127.0.0.1:" + std::to_string(tcp.port())});
    return args;
  }
  InstrumentMemory memory(size_t instrument = 0) {
    return bus.with(instrument, [](Instrument& i) { return i.memory(); });
  }
  unsigned writes(size_t instrument = 0) {
    return bus.with(instrument, [](Instrument& i) { return i.writeRequests(); });
  }

  TempDir dir;
  InstrumentBus bus;
  TcpServer tcp{bus};
  std::ostringstream out, err;
  uint32_t retries = 5;  // one attempt keeps a test of a failing instrument quick
  std::function<bool()> stopWhen;  // the link's stop check, as Ctrl+C sets it in the program
};

TEST_F(Cli, ReadShowsTheSettingsWithoutThePassword) {
  ASSERT_EQ(run(over({"read", "--format", "json"})), kExitOk) << err.str();
  EXPECT_EQ(out.str(),
            "{\"ip\": \"192.168.0.10\", \"mask\": \"255.255.255.0\", \"gateway\": \"192.168.0.1\", \"port\": 10001, "
            "\"dhcp\": 0, \"server\": \"dispatch.example.org\", \"server_port\": 9000, \"apn\": \"internet\", "
            "\"login\": \"engineer\", \"password\": \"***\", \"auth\": \"pap\"}\n");
  EXPECT_EQ(run(over({"identify"})), kExitOk);
  EXPECT_EQ(out.str(), "VRN-207K\n");
}

TEST_F(Cli, WriteChangesExactlyTheEditAndVerifiesIt) {
  const InstrumentMemory before = memory();
  const std::string backup = dir.file("before.txt");
  ASSERT_EQ(run(over({"write", "--set", "server_port=6000", "--backup", backup})), kExitOk) << err.str();
  EXPECT_NE(out.str().find("wrote server_port to address 1"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("verified by reading back"), std::string::npos);
  InstrumentMemory expected = before;
  expected[kSettingsAreaAddress + kServerPortOffset] = 6000 & 0xFF;
  expected[kSettingsAreaAddress + kServerPortOffset + 1] = 6000 >> 8;
  EXPECT_EQ(memory(), expected);
  const Result<Backup> saved = parseBackup(readFile(backup));
  ASSERT_TRUE(saved.ok()) << saved.failure().text();
  EXPECT_TRUE(std::equal(saved->area.begin(), saved->area.end(), before.begin() + kSettingsAreaAddress));
}

TEST_F(Cli, RefusalsAndLinkFailuresSendNothingAndSayWhy) {
  struct Case {
    std::vector<std::string> args;
    int exit;
    const char* says;
  };
  const Case cases[] = {
      {over({"write", "--set", "port=70000"}), kExitRefused, "The unit port '70000' is outside 0..65535"},
      {over({"write", "--set", "password=" + std::string(17, 'p')}), kExitRefused, "The password '***'"},
      {over({"write", "--set", "dhcp=2"}), kExitRefused, "dhcp"},
      {{"--tcp", "127.0.0.1:1", "read"}, kExitLink, "127.0.0.1:1 was refused"},
      {{"--serial", dir.file("none"), "read"}, kExitLink, "does not exist"},
      {over({"--address", "256", "read"}), kExitUsage, "The network address '256' is outside 0..255"},
      // The window ignores a host without a dot; from its file, that is said instead of "no host".
      {{"--settings", dir.file("host.ini"), "read"}, kExitUsage,
       "host.ini sets SockIP=localhost, which is not a dotted IPv4 address"},
  };
  writeFile(dir.file("host.ini"), "[#]\r\nUseIP=1\r\nSockIP=localhost\r\n");
  for (const Case& c : cases) {
    EXPECT_EQ(run(c.args), c.exit) << err.str();
    EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
  }
  EXPECT_EQ(writes(), 0u);
}

TEST_F(Cli, VerificationCatchesAnInstrumentThatStoresOtherwise) {
  bus.with(0, [](Instrument& i) { i.faults().mangleAddress = kSettingsAreaAddress + kApnNameOffset; });
  EXPECT_EQ(run(over({"write", "--set", "apn=isp", "--backup", dir.file("b.txt")})), kExitVerify);
  EXPECT_NE(err.str().find("verification failed"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("apn"), std::string::npos);
  EXPECT_NE(err.str().find(dir.file("b.txt")), std::string::npos);
}

TEST_F(Cli, BackupThenRestoreBringsTheAreaBackAndADamagedFileIsRefused) {
  const InstrumentMemory before = memory();
  const std::string file = dir.file("unit.txt");
  ASSERT_EQ(run(over({"backup", file})), kExitOk) << err.str();
  ASSERT_EQ(run(over({"write", "--set", "server=other.example.org", "--set", "dhcp=1", "--backup", dir.file("x")})),
            kExitOk);
  ASSERT_NE(memory(), before);

  std::string damaged = readFile(file);
  damaged[damaged.find("\n0000: ") + 8] ^= 1;  // one hex digit
  writeFile(dir.file("damaged.txt"), damaged);
  const unsigned writesBefore = writes();
  EXPECT_EQ(run(over({"restore", dir.file("damaged.txt")})), kExitRefused);
  EXPECT_EQ(writes(), writesBefore);

  ASSERT_EQ(run(over({"restore", file, "--backup", dir.file("y")})), kExitOk) << err.str();
  EXPECT_EQ(memory(), before);
  // Taken from address 1, it is not written to address 2 unless forced.
  EXPECT_EQ(run(over({"--address", "2", "restore", file})), kExitRefused);
}

TEST_F(Cli, FileErrorsGiveTheSystemsReasonAndABackupNeverReplacesAFile) {
  writeFile(dir.file("taken.txt"), "kept");
  struct Case {
    std::vector<std::string> args;
    int exit;
    const char* says;
  };
  const Case cases[] = {
      {over({"read", "-o", dir.file("none/x.ini")}), kExitUsage, "x.ini: No such file or directory"},
      {over({"diff", "/dev/stdin"}), kExitUsage, "cannot read the sheet /dev/stdin: not a regular file"},
      {over({"restore", dir.file("none.txt")}), kExitUsage, "none.txt: No such file or directory"},
      {over({"--settings", dir.file("none.ini"), "read"}), kExitUsage, "none.ini: No such file or directory"},
      {over({"write", "--set", "port=7", "--backup", dir.file("none/b.txt")}), kExitRefused,
       "b.txt: No such file or directory; no backup, so nothing was written"},
      {over({"write", "--set", "port=7", "--backup", dir.file("taken.txt")}), kExitRefused, "exists already"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run(c.args), c.exit) << err.str();
    EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
  }
  EXPECT_EQ(readFile(dir.file("taken.txt")), "kept");
  EXPECT_EQ(writes(), 0u);
}

TEST_F(Cli, DiffTellsWhetherASheetDiffers) {
  writeFile(dir.file("same.ini"), "[settings]\nserver_port=$2328\n");  // 9000
  writeFile(dir.file("other.ini"), "[settings]\nserver_port=6000\napn=internet\n");
  EXPECT_EQ(run(over({"diff", dir.file("same.ini")})), kExitOk) << err.str();
  EXPECT_EQ(run(over({"diff", dir.file("other.ini")})), kExitDiffers);
  EXPECT_EQ(out.str(), "server_port: 9000 -> 6000\n");
  EXPECT_EQ(writes(), 0u);
}

TEST_F(Cli, BatchGoesOnAfterAFailedRowAndResumes) {
  const std::string link = "127.0.0.1:" + std::to_string(tcp.port());
  const std::string rows = "name,tcp,address,server_port\nA," + link + ",1,6001\nB," + link + ",2,";
  writeFile(dir.file("work.csv"), rows + "70000\n");
  const std::string report = dir.file("report.csv");
  EXPECT_EQ(run({"batch", dir.file("work.csv"), "--report", report}), kExitBatchFailed);
  EXPECT_NE(readFile(report).find(",A,TCP " + link + ",1,ok,server_port,"), std::string::npos) << readFile(report);
  EXPECT_NE(readFile(report).find("outside 0..65535"), std::string::npos);

  writeFile(dir.file("work.csv"), rows + "6002\n");  // the row mended; A is not written again
  EXPECT_EQ(run({"batch", dir.file("work.csv"), "--report", report}), kExitOk) << err.str();
  EXPECT_EQ(writes(0), 5u);
  EXPECT_EQ(writes(1), 5u);
  EXPECT_NE(out.str().find("1 done, 0 failed, 1 skipped"), std::string::npos) << out.str();
}

TEST_F(Cli, ATypeStringWithAZeroByteShowsItEscaped) {
  bus.with(0, [](Instrument& i) { i.faults().typePadding = 1; });
  EXPECT_EQ(run(over({"identify"})), kExitIdentify);
  EXPECT_EQ(out.str(), "VRN-207K\\x00\n");
  EXPECT_NE(err.str().find("is a \"VRN-207K\\x00\", not a VRN-207K"), std::string::npos) << err.str();
}

TEST_F(Cli, AFailedWriteNamesARestoreCommandThatCanBePasted) {
  retries = 1;
  bus.with(0, [](Instrument& i) { i.faults().silentFromWrite = 2; });
  const std::string backup = dir.file("pump 5 it's.txt");
  EXPECT_EQ(run(over({"write", "--set", "apn=isp", "--backup", backup})), kExitTransfer);
  const std::string command = "netsetup-cli --tcp 127.0.0.1:" + std::to_string(tcp.port()) +
                              " --address 1 restore '" + dir.file("pump 5 it'\\''s.txt") + "'";
  EXPECT_NE(err.str().find(command), std::string::npos) << err.str();
}

TEST_F(Cli, BatchRowsThatCannotRunNameTheirLineAndColumns) {
  const std::string link = "127.0.0.1:" + std::to_string(tcp.port());
  writeFile(dir.file("work.csv"), "name,serial,baud,tcp,address\n"
                                  "pump 5,COM3,," + link + ",1\n"
                                  "pump 6,,9600," + link + ",1\n"
                                  "pump 7,COM3,fast,,1\n");
  const std::string report = dir.file("report.csv");
  EXPECT_EQ(run({"batch", dir.file("work.csv"), "--report", report}), kExitBatchFailed);
  const std::string text = readFile(report);
  for (const char* says : {"worklist line 2 (pump 5): the columns serial and tcp cannot both be filled",
                           "worklist line 3 (pump 6): the columns baud and tcp cannot both be filled",
                           "worklist line 4 (pump 7), column baud: 'fast' is not a valid integer value"}) {
    EXPECT_NE(text.find(says), std::string::npos) << says << "\n" << text;
  }
  EXPECT_EQ(text.find("--"), std::string::npos) << text;
}

TEST_F(Cli, ScanByAddressReportsEachInstrumentOnceByTheAddressItAnswersFrom) {
  // Address 0 is answered by the first instrument, which must not show up twice or as 0.
  ASSERT_EQ(run(over({"scan", "--addresses", "0-2"})), kExitOk) << err.str();
  EXPECT_EQ(out.str(), "found \"VRN-207K\" at TCP 127.0.0.1:" + std::to_string(tcp.port()) +
                           ", address 1\nfound \"VRN-207K\" at TCP 127.0.0.1:" + std::to_string(tcp.port()) +
                           ", address 2\n");
}

TEST_F(Cli, ScanFindsAnInstrumentAtAnUnknownRateAndAddress) {
  InstrumentBus line;
  line.add(std::make_unique<Instrument>(16));
  LineTiming timing;
  timing.baud = 57600;
  timing.strictRate = true;
  PtyServer pty(line, timing);
  ASSERT_EQ(testing::failureText(pty.open(dir.file("vrn"))), std::nullopt);
  pty.start();
  EXPECT_EQ(run({"--serial", dir.file("vrn"), "scan"}), kExitOk) << err.str();
  EXPECT_EQ(out.str(), "found \"VRN-207K\" at 57600 baud, address 16\n");
  // Found, it answers over the serial line at that rate, every frame traced.
  EXPECT_EQ(run({"--serial", dir.file("vrn"), "--baud", "57600", "--address", "16", "identify", "--trace"}), kExitOk);
  EXPECT_EQ(out.str(), "VRN-207K\n");
  EXPECT_NE(err.str().find(" -> 55 00 FF 00 00 00 AB | to 0, identify, checksum ok\n"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("| from 16, identify 8 bytes \"VRN-207K\", checksum ok\n"), std::string::npos);
  // Once per open, what the driver granted: a pseudo-terminal has no low latency to give.
  const std::string opened = " == " + dir.file("vrn") + " open, low latency: not supported by this device\n";
  EXPECT_NE(err.str().find(opened), std::string::npos) << err.str();
  EXPECT_EQ(err.str().find(opened), err.str().rfind(opened)) << err.str();
  pty.stop();
}

// Bytes a test puts at an offset of the settings area, or expects there.
using AreaBytes = std::vector<std::pair<size_t, std::vector<uint8_t>>>;

std::vector<uint8_t> textBytes(std::string_view text, size_t size) {
  std::vector<uint8_t> bytes(size, 0);
  std::copy(text.begin(), text.end(), bytes.begin());
  return bytes;
}

// The settings area in an instrument's memory, so a failure shows the bytes that matter.
SettingsArea areaIn(const InstrumentMemory& memory) {
  SettingsArea area;
  std::copy_n(memory.begin() + kSettingsAreaAddress, area.size(), area.begin());
  return area;
}

InstrumentMemory withBytes(InstrumentMemory memory, const AreaBytes& bytes) {
  for (const auto& [offset, values] : bytes) {
    std::copy(values.begin(), values.end(), memory.begin() + kSettingsAreaAddress + offset);
  }
  return memory;
}

// Whatever the instrument holds in the fields nobody named (addresses hidden by DHCP, an
// authentication byte the list has no entry for, a server text the window would refuse), a
// write stores exactly the named fields and a diff compares only them. An address typed in a
// form the parser reads its own way is shown as stored.
TEST_F(Cli, WriteAndDiffTouchOnlyTheNamedFields) {
  struct Case {
    const char* name;
    AreaBytes held;
    std::vector<std::string> sets;
    const char* wrote;
    AreaBytes stored;
    const char* notes = "";
  };
  const std::vector<uint8_t> port10003{0x13, 0x27};
  const Case cases[] = {
      {"DHCP on, a port", {{kDhcpOffset, {1}}}, {"port=10003"}, "wrote port to", {{kIpPortOffset, port10003}}},
      {"DHCP switched on", {}, {"dhcp=1"}, "wrote dhcp to", {{kDhcpOffset, {1}}}},
      {"DHCP switched off: the addresses held come back", {{kDhcpOffset, {1}}}, {"dhcp=0"}, "wrote dhcp to",
       {{kDhcpOffset, {0}}}},
      {"an authentication byte with no entry", {{kAuthTypeOffset, {7}}}, {"port=10003", "server=int5.example"},
       "wrote port, server to",
       {{kIpPortOffset, port10003}, {kServerAddressOffset, textBytes("int5.example", kServerAddressSize)}}},
      {"a line feed in the server", {{kServerAddressOffset, textBytes("a\nb", kServerAddressSize)}},
       {"port=10003"}, "wrote port to", {{kIpPortOffset, port10003}}},
      {"addresses in the parser's old forms", {}, {"ip=010.0.0.8", "gateway=192.168.1", "mask=255.255.0.0"},
       "wrote ip, mask to", {{kIpAddressOffset, {8, 0, 0, 8, 255, 255, 0, 0}}},  // the gateway held 192.168.0.1
       "ip: 010.0.0.8 is stored as 8.0.0.8\ngateway: 192.168.1 is stored as 192.168.0.1\nbackup"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const InstrumentMemory held = withBytes(defaultMemory(), c.held);
    bus.with(0, [&](Instrument& i) { i.memory() = held; });
    std::vector<std::string> args{"write", "--backup", dir.file(std::string(c.name) + ".txt")};
    for (const std::string& set : c.sets) args.insert(args.end(), {"--set", set});
    ASSERT_EQ(run(over(args)), kExitOk) << err.str();
    EXPECT_TRUE(out.str().starts_with(c.wrote)) << out.str();
    EXPECT_EQ(out.str().find(" is stored as ") != std::string::npos, *c.notes != 0) << out.str();
    EXPECT_NE(out.str().find(c.notes), std::string::npos) << out.str();
    EXPECT_EQ(areaIn(memory()), areaIn(withBytes(held, c.stored)));
  }
  const InstrumentMemory lineFeed = withBytes(defaultMemory(), cases[4].held);
  bus.with(0, [&](Instrument& i) { i.memory() = lineFeed; });
  writeFile(dir.file("port.ini"), "[settings]\nport=10003\n");
  EXPECT_EQ(run(over({"diff", dir.file("port.ini")})), kExitDiffers) << err.str();
  EXPECT_EQ(out.str(), "port: 10001 -> 10003\n");
}

// Never the password in clear unless asked for, in a file as on the screen; "***" given back
// keeps the instrument's password; a refused password is not quoted.
TEST_F(Cli, PasswordStaysHidden) {
  for (const char* format : {"table", "json", "ini"}) {
    ASSERT_EQ(run(over({"read", "--format", format, "-o", dir.file(format)})), kExitOk) << err.str();
    EXPECT_EQ(readFile(dir.file(format)).find("Pa55word"), std::string::npos) << format;
    EXPECT_NE(readFile(dir.file(format)).find("***"), std::string::npos) << format;
  }
  ASSERT_EQ(run(over({"read", "--format", "ini", "-o", dir.file("shown.ini"), "--show-password"})), kExitOk);
  EXPECT_NE(readFile(dir.file("shown.ini")).find("password=Pa55word\n"), std::string::npos);

  const InstrumentMemory before = memory();
  writeFile(dir.file("kept.ini"), "[settings]\npassword=***\n");
  EXPECT_EQ(run(over({"write", dir.file("kept.ini"), "--backup", dir.file("kept.txt")})), kExitOk) << err.str();
  EXPECT_EQ(run(over({"diff", dir.file("kept.ini")})), kExitOk) << out.str();
  EXPECT_EQ(writes(), 0u);

  const std::vector<std::string> refused{"Pass\xF0\x9F\x98\x80", "Pass\twd", std::string(17, 'P')};
  for (const std::string& password : refused) {
    EXPECT_EQ(run(over({"write", "--set", "password=" + password})), kExitRefused);
    EXPECT_NE(err.str().find("The password "), std::string::npos) << err.str();
    for (const char* revealing : {"Pass", "PPP", "\xF0\x9F\x98\x80", "U+"}) {
      EXPECT_EQ(err.str().find(revealing), std::string::npos) << err.str();
    }
  }
  EXPECT_EQ(areaIn(memory()), areaIn(before));
}

// A row whose write broke off lists as changed only the fields of the confirmed chunks.
TEST_F(Cli, BatchRowChangedListsOnlyConfirmedFields) {
  bus.with(0, [](Instrument& i) {
    i.faults().badChecksum = true;
    i.faults().scope = {FaultScope::Command::Write, 4};  // chunk 4 of 5, where the password is
  });
  writeFile(dir.file("work.csv"), "tcp,address,ip,server,password\n127.0.0.1:" + std::to_string(tcp.port()) +
                                      ",1,10.0.0.9,int5.example,other\n");
  const std::string report = dir.file("report.csv");
  EXPECT_EQ(run({"batch", dir.file("work.csv"), "--report", report}), kExitBatchFailed);
  const std::string text = readFile(report);
  EXPECT_NE(text.find(",failed,ip;server,"), std::string::npos) << text;
  EXPECT_NE(text.find("not written and confirmed: password"), std::string::npos) << text;
}

// Ctrl+C at each step of each command: it stops at the next exchange, exits 130, says how far
// it got, and the instrument holds no more than the chunks confirmed. The stop comes once the
// instrument has seen `n` requests of one kind in this row; from that request on its answers
// come late, so the link is waiting (a write for its confirmation) when the stop comes.
TEST_F(Cli, InterruptStopsAtTheNextExchangeAndSaysWhatWasWritten) {
  using Kind = FaultScope::Command;
  struct Case {
    std::vector<std::string> args;
    Kind stopOn;
    unsigned n;
    std::string says;
    int chunksWritten;
  };
  const std::string saved = dir.file("saved.txt"), backup = dir.file("before.txt");
  const std::vector<std::string> edit{"write", "--set", "port=10003", "--set", "login=abc", "--backup", backup};
  const Case cases[] = {
      {{"identify"}, Kind::Identify, 1, "interrupted while waiting for the identification answer", 0},
      {{"read"}, Kind::Read, 3, "interrupted while reading the settings area from address 1 (chunk 3 of 5)", 0},
      {{"backup", dir.file("b.txt")}, Kind::Read, 5, "interrupted while reading", 0},
      {edit, Kind::Read, 1, "; nothing was written to the instrument", 0},
      {edit, Kind::Write, 2,
       "interrupted: chunks 1-2 are written and confirmed; chunks 3-5 were not sent. The area as it was is in " + backup,
       2},
      {edit, Kind::Read, 7, "every chunk is written and confirmed, but the write is not verified", 5},
      {{"restore", saved, "--backup", backup}, Kind::Write, 3,
       "interrupted: chunks 1-3 are written and confirmed; chunks 4-5 were not sent", 3},
  };
  ASSERT_EQ(run(over({"backup", saved})), kExitOk);
  InstrumentMemory changed = memory();  // a byte of chunk 1 and of chunk 5 off the saved area
  changed[kSettingsAreaAddress + 30] ^= 0xFF;
  changed[kSettingsAreaAddress + 170] ^= 0xFF;
  const auto seen = [this](Kind kind) {
    return bus.with(0, [kind](Instrument& i) {
      return kind == Kind::Identify ? i.identifyRequests() : kind == Kind::Read ? i.readRequests() : i.writeRequests();
    });
  };
  LineTiming late;
  late.delayMs = 300;
  tcp.setTiming(late);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + ": " + c.says);
    bus.with(0, [&](Instrument& i) { i.memory() = changed; });
    std::filesystem::remove(backup);  // a named backup is never replaced
    const unsigned stopAt = seen(c.stopOn) + c.n, writesBefore = writes();
    bus.with(0, [&](Instrument& i) { i.faults().scope = {c.stopOn, stopAt}; });
    stopWhen = [&] { return seen(c.stopOn) >= stopAt; };
    EXPECT_EQ(run(over(c.args)), kExitInterrupted) << err.str();
    EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
    EXPECT_EQ(writes() - writesBefore, static_cast<unsigned>(c.chunksWritten));
    const size_t end = kSettingsAreaAddress + std::accumulate(kWriteChunkSizes.begin(),
                                                              kWriteChunkSizes.begin() + c.chunksWritten, size_t{0});
    EXPECT_TRUE(std::equal(changed.begin() + end, changed.end(), memory().begin() + end)) << "written past the chunks";
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("b.txt")));
}

// Stopped after the backup is saved and before the first chunk: the instrument is as it was, and
// apply's object must not claim a change.
TEST_F(Cli, ApplyStoppedBeforeTheFirstChunkClaimsNoChange) {
  const std::string backup = dir.file("before.txt");
  stopWhen = [&backup] { return std::filesystem::exists(backup); };
  EXPECT_EQ(run(over({"apply", "--json", "--set", "port=10003", "--backup", backup})), kExitInterrupted);
  EXPECT_NE(err.str().find("interrupted before the first chunk was sent"), std::string::npos) << err.str();
  EXPECT_NE(out.str().find(R"("changed": false, "fields": ["port"])"), std::string::npos) << out.str();
  EXPECT_EQ(writes(), 0u);
}

// apply in the order a configuration tool runs it: values in other spellings of what is stored
// change nothing, --check writes nothing, a write happens once, and every outcome is one object.
TEST_F(Cli, ApplyWritesOnlyWhatDiffersAndAnswersInOneObject) {
  struct Step {
    std::vector<std::string> args;
    int exit;
    std::string json;  // {link} and {backup} stand for the instrument's link and the backup given
    unsigned writes;   // write requests the instrument has had so far
  };
  const std::string link = "\"TCP 127.0.0.1:" + std::to_string(tcp.port()) + "\"";
  const std::string ok = R"("instrument": {"type": "VRN-207K", "address": 1, "link": {link}}})";
  const Step steps[] = {
      {over({"apply", "--json", "--set", "ip=192.168.0.012", "--set", "dhcp=false", "--set", "auth=PAP", "--set",
             "server_port=$2328"}),
       kExitOk,
       R"({"changed": false, "fields": [], "before": {"ip": "192.168.0.10", "dhcp": 0, "server_port": 9000, )"
       R"("auth": "pap"}, "after": {"ip": "192.168.0.10", "dhcp": 0, "server_port": 9000, "auth": "pap"}, )"
       R"("backup": null, "verified": false, )" + ok,
       0},
      {over({"apply", "--json", "--check", "--set", "server_port=6000", "--set", "password=n3w"}), kExitOk,
       R"({"changed": true, "fields": ["server_port", "password"], "before": {"server_port": 9000, )"
       R"("password": "***"}, "after": {"server_port": 6000, "password": "***"}, "backup": null, )"
       R"("verified": false, )" + ok,
       0},
      {over({"apply", "--json", "--set", "server_port=6000", "--set", "password=n3w", "--backup", dir.file("b")}),
       kExitOk,
       R"({"changed": true, "fields": ["server_port", "password"], "before": {"server_port": 9000, )"
       R"("password": "***"}, "after": {"server_port": 6000, "password": "***"}, "backup": {backup}, )"
       R"("verified": true, )" + ok,
       5},
      {over({"apply", "--json", "--set", "server_port=6000", "--set", "password=n3w", "--backup", dir.file("c")}),
       kExitOk,
       R"({"changed": false, "fields": [], "before": {"server_port": 6000, "password": "***"}, )"
       R"("after": {"server_port": 6000, "password": "***"}, "backup": null, "verified": false, )" + ok,
       5},
      {over({"apply", "--json", "--set", "port=70000"}), kExitRefused,
       R"({"changed": false, "fields": [], "before": {}, "after": {}, "backup": null, "verified": false, )" + ok.substr(0, ok.size() - 1) +
           R"(, "msg": "The unit port '70000' is outside 0..65535; nothing was written", "rc": 6})",
       5},
      {{"--tcp", "127.0.0.1:1", "apply", "--json", "--set", "port=1"}, kExitLink, "", 5},
      {over({"apply", "--json", "--baud", "9600", "--set", "port=1"}), kExitUsage,
       R"({"changed": false, "fields": [], "before": {}, "after": {}, "backup": null, "verified": false, )"
       R"("instrument": {"type": null, "address": null, "link": null}, )"
       R"("msg": "--baud goes with a serial link, not with --tcp", "rc": 2})",
       5},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.args[2] + " " + step.args.back());
    EXPECT_EQ(run(step.args), step.exit) << err.str();
    std::string json = step.json;
    if (const size_t at = json.find("{link}"); at != std::string::npos) json.replace(at, 6, link);
    if (const size_t at = json.find("{backup}"); at != std::string::npos) json.replace(at, 8, "\"" + dir.file("b") + "\"");
    if (!json.empty()) {
      EXPECT_EQ(out.str(), json + "\n");
    } else {  // a link that does not open: the type is unknown, the message the link's
      EXPECT_NE(out.str().find(R"("type": null, "address": 1)"), std::string::npos) << out.str();
      EXPECT_NE(out.str().find(R"("msg": "cannot open TCP 127.0.0.1:1)"), std::string::npos) << out.str();
      EXPECT_TRUE(out.str().ends_with("\"rc\": 3}\n")) << out.str();
    }
    EXPECT_EQ(writes(), step.writes);
  }
  EXPECT_EQ(out.str().find("n3w"), std::string::npos);

  // In text, --diff shows each change and --check says what a write would do.
  ASSERT_EQ(run(over({"apply", "--check", "--diff", "--set", "server_port=7000", "--set", "apn=internet"})), kExitOk);
  EXPECT_EQ(out.str(), "server_port: 6000 -> 7000\naddress 1 on TCP 127.0.0.1:" + std::to_string(tcp.port()) +
                           " would change in server_port; nothing was written (--check)\n");
  EXPECT_EQ(writes(), 5u);
}

// The template holds what every row shares; a row's own cell wins over it.
TEST_F(Cli, BatchTemplateFillsWhatTheRowsLeaveOut) {
  const std::string link = "127.0.0.1:" + std::to_string(tcp.port());
  writeFile(dir.file("district.ini"), "[settings]\nserver=hub.example.org\nserver_port=7000\n");
  writeFile(dir.file("district.csv"), "tcp,address,server_port\n" + link + ",1,\n" + link + ",2,7002\n");
  ASSERT_EQ(run({"batch", dir.file("district.csv"), "--template", dir.file("district.ini"), "--report",
                 dir.file("r.csv")}),
            kExitOk)
      << err.str();
  for (const auto& [address, port] : {std::pair{"1", "7000"}, std::pair{"2", "7002"}}) {
    ASSERT_EQ(run(over({"--address", address, "read", "--format", "json"})), kExitOk) << err.str();
    EXPECT_NE(out.str().find(R"("server": "hub.example.org", "server_port": )" + std::string(port)),
              std::string::npos)
        << out.str();
  }
}

}  // namespace
}  // namespace netsetup::cli
