// Each command once against the simulated instrument, over TCP and over a pseudo-terminal, with
// the program's own code and the real transports.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Instrument.h"
#include "InstrumentBus.h"
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
    ASSERT_EQ(tcp.open("127.0.0.1", 0), "");
    tcp.start();
  }
  void TearDown() override { tcp.stop(); }

  // Runs one command line; `out` and `err` receive what the program printed.
  int run(std::vector<std::string> args) {
    out.str({});
    err.str({});
    Tmod07 link;
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
  const BackupParse saved = parseBackup(readFile(backup));
  ASSERT_TRUE(saved.backup) << saved.error;
  EXPECT_TRUE(std::equal(saved.backup->area.begin(), saved.backup->area.end(), before.begin() + kSettingsAreaAddress));
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
  };
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

TEST_F(Cli, ScanFindsAnInstrumentAtAnUnknownRateAndAddress) {
  InstrumentBus line;
  line.add(std::make_unique<Instrument>(16));
  LineTiming timing;
  timing.baud = 57600;
  timing.strictRate = true;
  PtyServer pty(line, timing);
  ASSERT_EQ(pty.open(dir.file("vrn")), "");
  pty.start();
  EXPECT_EQ(run({"--serial", dir.file("vrn"), "scan"}), kExitOk) << err.str();
  EXPECT_EQ(out.str(), "found \"VRN-207K\" at 57600 baud, address 16\n");
  // Found, it answers over the serial line at that rate, every frame traced.
  EXPECT_EQ(run({"--serial", dir.file("vrn"), "--baud", "57600", "--address", "16", "identify", "--trace"}), kExitOk);
  EXPECT_EQ(out.str(), "VRN-207K\n");
  EXPECT_NE(err.str().find(" -> 55 00 FF 00 00 00 AB | to 0, identify, checksum ok\n"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("| from 16, identify 8 bytes \"VRN-207K\", checksum ok\n"), std::string::npos);
  pty.stop();
}

}  // namespace
}  // namespace netsetup::cli
