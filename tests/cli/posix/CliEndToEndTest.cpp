// Each command once against the simulated instrument, over TCP and over a pseudo-terminal, with
// the program's own code and the real transports.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <numeric>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "CliFixture.h"
#include "PtyServer.h"
#include "cli/formats/BackupFile.h"

namespace netsetup::cli {
namespace {

using netsetup::testing::readFile;
using netsetup::testing::TempDir;
using netsetup::testing::writeFile;

TEST_F(Cli, ReadShowsTheSettingsWithoutThePassword) {
  ASSERT_EQ(run(over({"read", "--format", "json"})), kExitOk) << err.str();
  EXPECT_EQ(out.str(),
            "{\"ip\": \"192.168.0.10\", \"mask\": \"255.255.255.0\", \"gateway\": \"192.168.0.1\", \"port\": 10001, "
            "\"dhcp\": 0, \"server\": \"dispatch.example.org\", \"server_port\": 9000, \"apn\": \"internet\", "
            "\"login\": \"engineer\", \"password\": \"***\", \"auth\": \"pap\"}\n");
  EXPECT_EQ(run(over({"identify"})), kExitOk);
  EXPECT_EQ(out.str(), "VRN-207K\n");
}

// read --json and restore --json give tools one object for every outcome; restore --check and
// --diff show what a restore would change and write nothing.
TEST_F(Cli, ReadAndRestoreAnswerToolsInOneObject) {
  const std::string link = "TCP " + endpoint();
  ASSERT_EQ(run(over({"read", "--json"})), kExitOk) << err.str();
  EXPECT_EQ(out.str(), "{\"instrument\": {\"type\": \"VRN-207K\", \"address\": 1, \"link\": \"" + link +
                           "\"}, \"fields\": {\"ip\": \"192.168.0.10\", \"mask\": \"255.255.255.0\", \"gateway\": "
                           "\"192.168.0.1\", \"port\": 10001, \"dhcp\": 0, \"server\": \"dispatch.example.org\", "
                           "\"server_port\": 9000, \"apn\": \"internet\", \"login\": \"engineer\", \"password\": "
                           "\"***\", \"auth\": \"pap\"}}\n");
  EXPECT_EQ(run({"--tcp", "127.0.0.1:1", "read", "--json"}), kExitLink);
  EXPECT_TRUE(out.str().starts_with("{\"instrument\": {\"type\": null, \"address\": 1, \"link\": \"TCP 127.0.0.1:1\"}, "
                                    "\"fields\": {}, \"msg\": \"cannot open TCP 127.0.0.1:1: "))
      << out.str();

  const std::string saved = dir.file("saved.txt");
  ASSERT_EQ(run(over({"backup", saved})), kExitOk);
  ASSERT_EQ(run(over({"write", "--set", "apn=other", "--set", "port=10003", "--backup", dir.file("b1.txt")})), kExitOk);
  const unsigned writesBefore = writes();
  ASSERT_EQ(run(over({"restore", saved, "--check", "--diff"})), kExitOk) << err.str();
  EXPECT_TRUE(out.str().starts_with("port: 10003 -> 10001\napn: other -> internet\naddress 1 on " + link +
                                    " would change to the backup of address 1 at " + endpoint()))
      << out.str();
  ASSERT_EQ(run(over({"restore", saved, "--check", "--json"})), kExitOk) << err.str();
  EXPECT_TRUE(out.str().starts_with(R"({"changed": true, "fields": ["port", "apn"], "before": {"port": 10003, )"
                                    R"("apn": "other"}, "after": {"port": 10001, "apn": "internet"}, "unknown": [], )"
                                    R"("backup": null, "verified": false)"))
      << out.str();
  EXPECT_EQ(writes(), writesBefore);
  ASSERT_EQ(run(over({"restore", saved, "--json", "--backup", dir.file("b2.txt")})), kExitOk) << err.str();
  EXPECT_NE(out.str().find(R"("after": {"port": 10001, "apn": "internet"}, "unknown": [], "backup": ")" +
                           dir.file("b2.txt") + R"(", "verified": true)"),
            std::string::npos)
      << out.str();
}

// Identification goes to address 0, which every instrument hears; a read where nothing answers
// says where one did.
TEST_F(Cli, AReadWhereNothingAnswersSaysWhereTheIdentificationCameFrom) {
  retries = 1;
  EXPECT_EQ(run(over({"--address", "7", "read"})), kExitTransfer);
  EXPECT_NE(err.str().find("Nothing answers at address 7, but the identification was answered from address 1: is "
                           "the instrument there? (--address 1)"),
            std::string::npos)
      << err.str();
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
      // Address 0 is heard by every instrument on the line.
      {over({"--address", "0", "write", "--set", "port=1"}), kExitUsage,
       "address 0 is heard by every instrument on TCP 127.0.0.1:"},
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
  writeFile(dir.file("utf16.ini"), std::string("\xFF\xFE[\0s\0]\0", 8));
  struct Case {
    std::vector<std::string> args;
    int exit;
    std::string says;
  };
  const Case cases[] = {
      {over({"read", "-o", dir.file("none/x.ini")}), kExitUsage, "x.ini: No such file or directory"},
      {over({"diff", dir.path().string()}), kExitUsage, "cannot read the sheet " + dir.path().string() + ": Is a directory"},
      {over({"diff", dir.file("utf16.ini")}), kExitUsage, "utf16.ini is saved as UTF-16 (Notepad's \"Unicode\"); save it as UTF-8"},
      {{}, kExitUsage, "Usage: netsetup-cli [LINK OPTIONS] COMMAND"},
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

  // What the reader would leave out without a word is said; a value names its field and line.
  writeFile(dir.file("typo.ini"), "[setting]\nserver_port=6000\n[settings]\napn=internet\n");
  EXPECT_EQ(run(over({"diff", dir.file("typo.ini")})), kExitOk);
  EXPECT_NE(err.str().find(dir.file("typo.ini") + " line 2: 'server_port=6000' is in [setting], not in [settings]; "
                                                  "left out"),
            std::string::npos)
      << err.str();
  writeFile(dir.file("hex.ini"), "[settings]\nserver_port=0x\n");
  EXPECT_EQ(run(over({"diff", dir.file("hex.ini")})), kExitRefused);
  EXPECT_NE(err.str().find(dir.file("hex.ini") + " line 2: server_port: '0x' is not a valid integer value"),
            std::string::npos)
      << err.str();

  // A sheet through a pipe.
  ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
  std::thread writer([this] { writeFile(dir.file("pipe"), "[settings]\nserver_port=6000\n"); });
  EXPECT_EQ(run(over({"diff", dir.file("pipe")})), kExitDiffers) << err.str();
  writer.join();
  EXPECT_EQ(writes(), 0u);
}

TEST_F(Cli, BatchGoesOnAfterAFailedRowAndResumes) {
  retries = 1;
  const std::string rows = "name,tcp,address,server_port\nA," + endpoint() + ",1,6001\nB," + endpoint() + ",2,6002\n";
  writeFile(dir.file("work.csv"), rows);
  const std::string report = dir.file("report.csv");
  bus.with(1, [](Instrument& i) { i.faults().silent = true; });
  EXPECT_EQ(run({"batch", dir.file("work.csv"), "--report", report, "--trace"}), kExitBatchFailed);
  const std::string trace = err.str(), heading = "-- " + dir.file("work.csv") + " line 3 (B): address 2 on TCP ";
  EXPECT_NE(trace.find(heading), std::string::npos) << trace;
  EXPECT_NE(trace.find(" -> 55 02 FD 0F 01 03 06 20 28", trace.find(heading)), std::string::npos)
      << "B's frames under its heading: " << trace;
  EXPECT_NE(readFile(report).find(",A,TCP " + endpoint() + ",1,ok,server_port,"), std::string::npos) << readFile(report);
  EXPECT_NE(readFile(report).find("reading the settings area from address 2 failed"), std::string::npos);

  bus.with(1, [](Instrument& i) { i.faults().silent = false; });  // B answers now; A is not written again
  EXPECT_EQ(run({"batch", dir.file("work.csv"), "--report", report}), kExitOk) << err.str();
  EXPECT_EQ(writes(0), 5u);
  EXPECT_EQ(writes(1), 5u);
  EXPECT_NE(out.str().find("1 done, 0 failed, 1 skipped"), std::string::npos) << out.str();

  // A row counts as done only with the values it was done with.
  writeFile(dir.file("work.csv"), "name,tcp,address,server_port\nA," + endpoint() + ",1,6003\nB," + endpoint() +
                                      ",2,6002\n");
  EXPECT_EQ(run({"batch", dir.file("work.csv"), "--report", report}), kExitOk) << err.str();
  EXPECT_NE(out.str().find("1 done, 0 failed, 1 skipped"), std::string::npos) << out.str();
  EXPECT_EQ(writes(0), 10u);
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
  EXPECT_NE(err.str().find("other instruments may share " + dir.file("vrn") + ": each answers only to its own "
                           "address. To look for them, scan it by address at that rate: ... --baud 57600 scan "
                           "--addresses 1-32\n"),
            std::string::npos)
      << err.str();
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

// An instrument whose answers come back damaged is no silence: scan names the rate and the
// damage and exits with a status of its own.
TEST_F(Cli, ScanReportsARateWhoseAnswersAreDamaged) {
  struct Case {
    const char* name;
    void (*fault)(Faults&, LineTiming&);
    const char* says;
  };
  const Case cases[] = {
      {"a wrong complement", [](Faults& f, LineTiming&) { f.badComplement = true; }, "at 38400 baud (code 5: "},
      {"a wrong checksum", [](Faults& f, LineTiming&) { f.badChecksum = true; }, "at 38400 baud (code 4: "},
      {"a stray start byte", [](Faults& f, LineTiming&) { f.strayStart = true; }, "at 38400 baud (code 5: "},
      {"a byte too late", [](Faults&, LineTiming& t) { t.lateByte = LineTiming::LateByte{3, 400}; },
       "at 38400 baud (code 2: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstrumentBus line;
    line.add(std::make_unique<Instrument>(16));
    LineTiming timing;
    timing.baud = 38400;
    timing.strictRate = true;
    line.with(0, [&](Instrument& i) { c.fault(i.faults(), timing); });
    PtyServer pty(line, timing);
    ASSERT_EQ(testing::failureText(pty.open(dir.file("vrn"))), std::nullopt);
    pty.start();
    EXPECT_EQ(run({"--serial", dir.file("vrn"), "scan"}), kExitDamaged) << err.str();
    EXPECT_NE(err.str().find("something answers on " + dir.file("vrn") + ", but its answers are damaged\n  " + c.says),
              std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find("Check the wiring and the ground"), std::string::npos);
    pty.stop();
  }
}

// Whatever the instrument holds in the fields nobody named (addresses hidden by DHCP, an
// authentication byte the list has no entry for, a server text the window would refuse), a
// write stores exactly the named fields and a diff compares only them; with DHCP on, the
// addresses it keeps are shown, compared and written like any other field.
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
      {"DHCP on, an address kept for when it is off", {{kDhcpOffset, {1}}}, {"ip=10.0.0.8", "mask=255.255.255.0"},
       "wrote ip to", {{kIpAddressOffset, {10, 0, 0, 8}}}},
      {"a port in another spelling", {}, {"port=$2713"}, "wrote port to", {{kIpPortOffset, port10003}},
       "port: $2713 is stored as 10003\nbackup"},
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
      {over({"apply", "--json", "--set", "ip=192.168.0.10", "--set", "dhcp=false", "--set", "auth=PAP", "--set",
             "server_port=$2328"}),
       kExitOk,
       R"({"changed": false, "fields": [], "before": {"ip": "192.168.0.10", "dhcp": 0, "server_port": 9000, )"
       R"("auth": "pap"}, "after": {"ip": "192.168.0.10", "dhcp": 0, "server_port": 9000, "auth": "pap"}, )"
       R"("unknown": [], "backup": null, "verified": false, )" + ok,
       0},
      {over({"apply", "--json", "--check", "--set", "server_port=6000", "--set", "password=n3w"}), kExitOk,
       R"({"changed": true, "fields": ["server_port", "password"], "before": {"server_port": 9000, )"
       R"("password": "***"}, "after": {"server_port": 6000, "password": "***"}, "unknown": [], "backup": null, )"
       R"("verified": false, )" + ok,
       0},
      {over({"apply", "--json", "--set", "server_port=6000", "--set", "password=n3w", "--backup", dir.file("b")}),
       kExitOk,
       R"({"changed": true, "fields": ["server_port", "password"], "before": {"server_port": 9000, )"
       R"("password": "***"}, "after": {"server_port": 6000, "password": "***"}, "unknown": [], "backup": {backup}, )"
       R"("verified": true, )" + ok,
       5},
      {over({"apply", "--json", "--set", "server_port=6000", "--set", "password=n3w", "--backup", dir.file("c")}),
       kExitOk,
       R"({"changed": false, "fields": [], "before": {"server_port": 6000, "password": "***"}, )"
       R"("after": {"server_port": 6000, "password": "***"}, "unknown": [], "backup": null, "verified": false, )" + ok,
       5},
      // Judged before the instrument is asked anything.
      {over({"apply", "--json", "--set", "port=70000"}), kExitRefused,
       R"({"changed": false, "fields": [], "before": {}, "after": {}, "unknown": [], "backup": null, )"
       R"("verified": false, "instrument": {"type": null, "address": null, "link": null}, )"
       R"("msg": "The unit port '70000' is outside 0..65535; nothing was written", "rc": 6})",
       5},
      {{"--tcp", "127.0.0.1:1", "apply", "--json", "--set", "port=1"}, kExitLink, "", 5},
      {over({"apply", "--json", "--baud", "9600", "--set", "port=1"}), kExitUsage,
       R"({"changed": false, "fields": [], "before": {}, "after": {}, "unknown": [], "backup": null, )"
       R"("verified": false, "instrument": {"type": null, "address": null, "link": null}, )"
       R"x("msg": "--baud goes with a serial link, not with --tcp\n(netsetup-cli --help describes every command)", )x"
       R"("rc": 2})",
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

  // A link that does not open keeps its advice in the message: the devices that are there.
  EXPECT_EQ(run({"--serial", dir.file("none"), "apply", "--json", "--set", "port=1"}), kExitLink);
  EXPECT_NE(out.str().find("does not exist (No such file or directory).\\n"), std::string::npos) << out.str();

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
  // The template edited, the same report: every row runs again with the new values.
  writeFile(dir.file("district.ini"), "[settings]\nserver=hub2.example.org\nserver_port=7000\n");
  ASSERT_EQ(run({"batch", dir.file("district.csv"), "--template", dir.file("district.ini"), "--report",
                 dir.file("r.csv")}),
            kExitOk)
      << err.str();
  EXPECT_NE(out.str().find("2 done, 0 failed, 0 skipped"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace netsetup::cli
