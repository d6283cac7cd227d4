// Batches against a site of three instruments that all sit at address 1, each behind a TCP port
// of its own, commissioned by one worklist without a name column: the backups, the report and
// its lock when runs fail, overlap or are killed.
#include <gtest/gtest.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "support/Results.h"
#include "Instrument.h"
#include "InstrumentBus.h"
#include "TcpServer.h"
#include "cli/formats/BackupFile.h"
#include "cli/Commands.h"
#include "cli/formats/Csv.h"
#include "cli/session/ExitCodes.h"
#include "support/TempDir.h"

namespace netsetup::cli {
namespace {

using netsetup::testing::readFile;
using netsetup::testing::TempDir;
using netsetup::testing::writeFile;
using Cells = std::map<std::string, std::string>;

constexpr size_t kSites = 3;
constexpr uid_t kNobody = 65534;

class Batch;

struct Case {
  const char* name;
  void (*arrange)(Batch&);  // may start what runs beside the batch: another batch, a thread
  bool asOrdinaryUser;
  int exit;
  const char* says;  // on standard error
  void (*check)(Batch&, const std::string& err);
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

// Answers held back this long stay within the link's time for a first byte.
constexpr unsigned kSlowMs = 250;

class Batch : public ::testing::TestWithParam<Case> {
 public:
  template <class F>
  auto bus(size_t i, F f) {
    return buses[i].with(0, f);
  }
  void SetUp() override {
    std::string rows = "tcp,address,server_port\n";
    for (size_t i = 0; i < kSites; ++i) {
      buses[i].add(std::make_unique<Instrument>(1));
      // Each one's own server port, so that a backup shows whose area it holds.
      bus(i, [&](Instrument& at) { at.poke(kSettingsAreaAddress + kServerPortOffset, {uint8_t(i + 1), 0x1B}); });
      original[i] = bus(i, [](Instrument& at) { return at.memory(); });
      servers[i] = std::make_unique<TcpServer>(buses[i]);
      ASSERT_EQ(testing::failureText(servers[i]->open("127.0.0.1", 0)), std::nullopt);
      servers[i]->start();
      rows += servers[i]->endpoint() + ",1,6400\n";
    }
    writeFile(worklist, rows);
  }
  void TearDown() override {
    if (beside.joinable()) beside.join();
    for (auto& server : servers) server->stop();
  }

  unsigned writes(size_t i) {
    return bus(i, [](Instrument& at) { return at.writeRequests(); });
  }
  // Holds the answers of instrument `i` to one kind of request back (from its `from`-th on).
  void slow(size_t i, FaultScope::Command command, unsigned from, unsigned ms) {
    bus(i, [&](Instrument& at) { at.faults().scope = {command, from}; });
    LineTiming timing;
    timing.delayMs = ms;
    servers[i]->setTiming(timing);
  }
  template <class Done>
  static void waitFor(Done done) {
    for (int ms = 0; ms < 5000 && !done(); ++ms) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

  // Another batch on the same report in a process of its own (run as `user` when given); its
  // standard error comes back through a pipe.
  void start(uid_t user = 0, const std::string& reportName = {}) {
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    child = ::fork();
    if (child == 0) {
      ::close(pipe[0]);
      if (user != 0 && !(::setgroups(0, nullptr) == 0 && ::setgid(user) == 0 && ::setuid(user) == 0)) ::_exit(99);
      std::ostringstream out, err;
      Tmod07 link;
      const int exit = runCli({"batch", worklist, "--report", reportName.empty() ? report : reportName}, link, Io{out, err});
      const std::string text = err.str();
      ::_exit(::write(pipe[1], text.data(), text.size()) < 0 ? 98 : exit);
    }
    ::close(pipe[1]);
    childOutput = pipe[0];
  }
  int finish(std::string& err) {
    char buffer[4096];
    for (ssize_t n; (n = ::read(childOutput, buffer, sizeof buffer)) > 0;) err.append(buffer, size_t(n));
    ::close(childOutput);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // The report's rows by instrument, each cell under its column's name.
  std::map<size_t, Cells> reportRows() {
    std::map<size_t, Cells> rows;
    const Result<CsvTable> parsed = parseCsv(readFile(report));
    const CsvTable csv = parsed ? *parsed : CsvTable{};
    for (size_t r = 1; r < csv.rows.size(); ++r) {
      Cells cells;
      for (size_t c = 0; c < csv.rows[r].size() && c < csv.rows[0].size(); ++c) cells[csv.rows[0][c]] = csv.rows[r][c];
      for (size_t i = 0; i < kSites; ++i)
        if (cells["link"] == "TCP " + servers[i]->endpoint()) rows[i] = cells;
    }
    return rows;
  }
  // Whether `file` is a backup of instrument `i` as it was before the batch.
  bool holdsOriginal(const std::string& file, size_t i) {
    const Result<Backup> parsed = parseBackup(readFile(file));
    return parsed && std::equal(parsed->area.begin(), parsed->area.end(), original[i].begin() + kSettingsAreaAddress);
  }

  TempDir dir;
  const std::string worklist = dir.file("wl.csv"), report = dir.file("r.csv");
  std::array<InstrumentBus, kSites> buses;
  std::array<std::unique_ptr<TcpServer>, kSites> servers;
  std::array<InstrumentMemory, kSites> original;
  std::thread beside;  // what happens while the batch runs
  pid_t child = -1;
  int childOutput = -1;
};

const Case kCases[] = {
    {"RowsAtOneAddressKeepABackupEach", [](Batch&) {}, false, kExitOk, "",
     [](Batch& b, const std::string&) {
       std::set<std::string> files;
       for (auto& [i, row] : b.reportRows()) {
         EXPECT_EQ(row["outcome"], "ok");
         EXPECT_TRUE(b.holdsOriginal(row["backup"], i)) << row["backup"];
         files.insert(row["backup"]);
       }
       EXPECT_EQ(files.size(), kSites);
     }},
    {"ASecondBatchOnTheReportRefusesBeforeTouchingAnything",
     [](Batch& b) {
       b.slow(0, FaultScope::Command::Identify, 1, kSlowMs);
       b.start();
       Batch::waitFor([&] { return b.bus(0, [](Instrument& at) { return at.identifyRequests(); }) > 0; });
     },
     false, kExitUsage, "is in use by another batch: process ",
     [](Batch& b, const std::string& err) {
       EXPECT_NE(err.find("process " + std::to_string(b.child) + " "), std::string::npos);
       std::string first;
       EXPECT_EQ(b.finish(first), kExitOk) << first;
       for (size_t i = 0; i < kSites; ++i) EXPECT_EQ(b.writes(i), 5u);
       const Result<CsvTable> csv = parseCsv(readFile(b.report));
       EXPECT_EQ(csv ? csv->rows.size() : 0u, kSites + 1);  // the header and a line each
     }},
    {"AReportTheUserMayNotWriteStopsBeforeAnyInstrument",
     [](Batch& b) {
       writeFile(b.report, "");
       ASSERT_EQ(::chown(b.dir.path().c_str(), kNobody, kNobody), 0);  // root's report in the user's folder
     },
     true, kExitUsage, "r.csv: Permission denied",
     [](Batch& b, const std::string&) {
       for (size_t i = 0; i < kSites; ++i) EXPECT_EQ(b.writes(i), 0u);
     }},
    {"ARowTheReportCannotTakeIsDescribedOnScreen",
     [](Batch& b) {
       b.slow(0, FaultScope::Command::Read, 6, kSlowMs);  // the verification
       b.beside = std::thread([&b] {
         Batch::waitFor([&] { return b.writes(0) == 5; });
         std::filesystem::remove(b.report);
         std::filesystem::create_directory(b.report);
         b.servers[0]->setTiming({});
       });
     },
     false, kExitUsage, "not in the report: written (server_port) and verified; the area before is in ",
     [](Batch& b, const std::string& err) {
       // The folder holds the digests' key too, in whatever order the system lists it.
       std::string backup;
       for (const auto& entry : std::filesystem::directory_iterator(b.dir.file("r-backups")))
         if (entry.path().filename().string().starts_with("backup-")) backup = entry.path().string();
       ASSERT_NE(backup, "");
       EXPECT_NE(err.find(backup), std::string::npos) << err;
       EXPECT_EQ(b.writes(1), 0u);
     }},
    {"ARowResumedAfterAKilledRunNamesTheBackupFromBeforeIt",
     [](Batch& b) {
       b.slow(0, FaultScope::Command::Write, 1, kSlowMs);
       b.start();
       Batch::waitFor([&] { return b.writes(0) > 0; });  // the chunk holding server_port is stored
       ::kill(b.child, SIGKILL);
       ::waitpid(b.child, nullptr, 0);
       b.servers[0]->setTiming({});
     },
     false, kExitOk, "",
     [](Batch& b, const std::string&) {
       Cells row = b.reportRows()[0];
       EXPECT_EQ(row["outcome"], "unchanged");
       EXPECT_TRUE(b.holdsOriginal(row["first_backup"], 0)) << row["first_backup"];
       EXPECT_FALSE(b.holdsOriginal(row["backup"], 0));
     }},
    {"AReportByAnotherNameIsTheSameReport",
     [](Batch& b) {
       std::filesystem::create_symlink(b.report, b.dir.file("alias.csv"));
       b.slow(0, FaultScope::Command::Identify, 1, kSlowMs);
       b.start(0, b.dir.file("alias.csv"));
       Batch::waitFor([&] { return b.bus(0, [](Instrument& at) { return at.identifyRequests(); }) > 0; });
     },
     false, kExitUsage, "is in use by another batch: process ",
     [](Batch& b, const std::string&) {
       std::string first;
       EXPECT_EQ(b.finish(first), kExitOk) << first;
       const Result<CsvTable> csv = parseCsv(readFile(b.report));
       EXPECT_EQ(csv ? csv->rows.size() : 0u, kSites + 1);  // each instrument once
     }},
    // A run killed mid-row, then one that cannot reach the instrument: the row still names the
    // backup from before the first try, and what the killed run left half saved goes.
    {"ARetryThatCannotConnectStillNamesTheBackupFromBeforeIt",
     [](Batch& b) {
       b.slow(0, FaultScope::Command::Write, 1, kSlowMs);
       b.start();
       Batch::waitFor([&] { return b.writes(0) > 0; });
       ::kill(b.child, SIGKILL);
       ::waitpid(b.child, nullptr, 0);
       b.servers[0]->setTiming({});
       b.bus(0, [](Instrument& at) { at.faults().silent = true; });
       writeFile(b.dir.file("r-backups/backup-a1-x.txt.4242-0.tmp"), "half");
     },
     false, kExitBatchFailed, "removed " ,
     [](Batch& b, const std::string& err) {
       Cells row = b.reportRows()[0];
       EXPECT_EQ(row["outcome"], "failed");
       EXPECT_EQ(row["backup"], "");
       EXPECT_TRUE(b.holdsOriginal(row["first_backup"], 0)) << row["first_backup"];
       EXPECT_NE(err.find("backup-a1-x.txt.4242-0.tmp, a backup half saved by a run that was stopped"),
                 std::string::npos);
       EXPECT_FALSE(std::filesystem::exists(b.dir.file("r-backups/backup-a1-x.txt.4242-0.tmp")));
     }},
    // What a Russian Excel saves as "CSV": semicolons and Windows-1251 names ("Насос N").
    {"ARussianSpreadsheetsWorklistIsReadAsWindows1251WithSemicolons",
     [](Batch& b) {
       std::string rows = "tcp;address;name;server_port\r\n";
       for (size_t i = 0; i < kSites; ++i)
         rows += b.servers[i]->endpoint() + ";1;\xCD\xE0\xF1\xEE\xF1 " + std::to_string(i) + ";6400\r\n";
       writeFile(b.worklist, rows);
     },
     false, kExitOk, "wl.csv is not UTF-8 (line 2); read as Windows-1251, the Cyrillic Windows code page",
     [](Batch& b, const std::string&) {
       const std::string pump = "\xD0\x9D\xD0\xB0\xD1\x81\xD0\xBE\xD1\x81 ";  // in UTF-8
       for (auto& [i, row] : b.reportRows()) {
         EXPECT_EQ(row["outcome"], "ok");
         EXPECT_EQ(row["name"], pump + std::to_string(i));
         EXPECT_EQ(std::filesystem::path(row["backup"]).filename().string().substr(0, pump.size() + 1),
                   pump + std::to_string(i));
         EXPECT_TRUE(b.holdsOriginal(row["backup"], i)) << row["backup"];
       }
       EXPECT_EQ(b.reportRows().size(), kSites);
     }},
};

TEST_P(Batch, Case) {
  const Case& c = GetParam();
  if (c.asOrdinaryUser && ::geteuid() != 0) GTEST_SKIP() << "needs root to make files of two owners";
  c.arrange(*this);
  int exit = 0;
  std::string err;
  if (c.asOrdinaryUser) {
    start(kNobody);
    exit = finish(err);
  } else {
    std::ostringstream out, errStream;
    Tmod07 link;
    exit = runCli({"batch", worklist, "--report", report}, link, Io{out, errStream});
    err = errStream.str();
  }
  if (beside.joinable()) beside.join();
  EXPECT_EQ(exit, c.exit) << err;
  EXPECT_NE(err.find(c.says), std::string::npos) << err;
  c.check(*this, err);
}

INSTANTIATE_TEST_SUITE_P(Site, Batch, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace netsetup::cli
