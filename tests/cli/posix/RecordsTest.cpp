// The records a write leaves: a backup named after its instrument, in the user's own folder,
// that only restores where it came from; and a line in the log of writes, however it ended.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>

#include "CliFixture.h"
#include "cli/formats/BackupFile.h"
#include "cli/formats/WriteLog.h"

namespace netsetup::cli {
namespace {

using netsetup::testing::readFile;
using netsetup::testing::writeFile;

// The one file in `folder` whose name matches `pattern`, or "".
std::string onlyFile(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (std::regex_match(entry.path().filename().string(), std::regex(pattern))) found.push_back(entry.path());
  }
  return found.size() == 1 ? found.front() : "";
}

TEST_F(Cli, BackupsNameTheirInstrumentAndLandInTheUsersFolder) {
  const std::string folder = dir.file("state/netsetup/backups");
  const std::string link = "127.0.0.1_" + std::to_string(tcp.port());
  struct Case {
    std::vector<std::string> args;
    const char* folder;  // relative to the test's folder
    std::string file;    // a pattern
    const char* name;    // in the header
  };
  const std::string stamp = "\\d{8}T\\d{6}Z";
  const Case cases[] = {
      {{"write", "--set", "port=10003"}, "state/netsetup/backups", "backup-a1-" + link + "-" + stamp + "\\.txt", ""},
      {{"apply", "--set", "port=10004", "--name", "pump north"}, "state/netsetup/backups",
       "pump north-backup-a1-" + link + "-" + stamp + "\\.txt", "pump north"},
      {{"backup", "--name", "reservoir"}, "state/netsetup/backups", "reservoir-backup-a1-" + link + "-" + stamp + "\\.txt",
       "reservoir"},
      {{"write", "--set", "port=10005", "--backup-dir", "site"}, "site", "backup-a1-" + link + "-.*", ""},
  };
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());  // for --backup-dir site
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args.back());
    ASSERT_EQ(run(over(c.args)), kExitOk) << err.str();
    const std::string file = onlyFile(dir.file(c.folder), c.file);
    ASSERT_NE(file, "") << c.file;
    EXPECT_NE(out.str().find(" " + file + "\n"), std::string::npos) << "an absolute path: " << out.str();
    const Result<Backup> backup = parseBackup(readFile(file));
    ASSERT_TRUE(backup.ok()) << backup.failure().text();
    EXPECT_EQ(backup->link, "127.0.0.1:" + std::to_string(tcp.port()));
    EXPECT_EQ(backup->name, c.name);
    std::filesystem::remove(file);
  }
  std::filesystem::current_path(before);
  struct stat made {};
  ASSERT_EQ(::stat(folder.c_str(), &made), 0);
  EXPECT_EQ(made.st_mode & 0777, 0700u) << "the folder holds passwords: its owner's only";

  // A folder that cannot be made is named, and nothing is written.
  writeFile(dir.file("file"), "");
  EXPECT_EQ(run(over({"write", "--set", "port=1", "--backup-dir", dir.file("file/sub")})), kExitRefused);
  EXPECT_NE(err.str().find("cannot make the folder " + dir.file("file") + ": a file of that name is in the way"),
            std::string::npos)
      << err.str();
}

// A backup goes back only where it came from, unless forced; it says where that was.
TEST_F(Cli, ARestoreElsewhereIsRefusedUnlessForced) {
  TcpServer other{bus};
  ASSERT_EQ(testing::failureText(other.open("127.0.0.1", 0)), std::nullopt);
  other.start();
  const std::string file = dir.file("north.txt");
  ASSERT_EQ(run(over({"backup", file, "--name", "pump-north"})), kExitOk);
  ASSERT_EQ(run(over({"write", "--set", "port=10003", "--backup", dir.file("b1.txt")})), kExitOk);
  const std::string elsewhere = "127.0.0.1:" + std::to_string(other.port());
  EXPECT_EQ(run({"--tcp", elsewhere, "restore", file, "--backup", dir.file("b2.txt")}), kExitRefused);
  EXPECT_NE(err.str().find(" is the backup of address 1 at " + endpoint() + " (pump-north), taken 20"),
            std::string::npos)
      << err.str();
  EXPECT_NE(err.str().find("; this is address 1 at " + elsewhere + ". Give --force"), std::string::npos) << err.str();
  EXPECT_EQ(run({"--tcp", elsewhere, "restore", file, "--force", "--backup", dir.file("b3.txt")}), kExitOk)
      << err.str();
  EXPECT_NE(out.str().find("from " + file + ", the backup of address 1 at " + endpoint()), std::string::npos)
      << out.str();
  other.stop();
}

// Every write that could change an instrument leaves a line, interrupted ones included; log
// shows them, filtered by time and name.
TEST_F(Cli, EveryWriteLeavesALineInTheLog) {
  const std::string log = dir.file("state/netsetup/writes.jsonl");
  ASSERT_EQ(run(over({"write", "--set", "password=n3w", "--set", "port=10003", "--name", "pump-north"})), kExitOk);
  ASSERT_EQ(run(over({"apply", "--set", "port=10003"})), kExitOk);  // nothing to write: no line
  bus.with(0, [](Instrument& i) { i.faults().silentFromWrite = i.writeRequests() + 2; });
  retries = 1;
  interruptsWhen = [this] { return writes() >= 7 ? 1u : 0u; };
  EXPECT_EQ(run(over({"write", "--set", "apn=isp.example", "--name", "pump-south"})), kExitInterrupted);
  interruptsWhen = nullptr;

  const std::string text = readFile(log);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
  EXPECT_EQ(text.find("n3w"), std::string::npos);
  std::istringstream lines(text);
  std::string first, second;
  std::getline(lines, first);
  std::getline(lines, second);
  const Result<WriteRecord> written = parseWriteRecord(first), stopped = parseWriteRecord(second);
  ASSERT_TRUE(written.ok() && stopped.ok()) << text;
  EXPECT_EQ(written->name, "pump-north");
  EXPECT_EQ(written->outcome, "written");
  EXPECT_TRUE(written->verified);
  EXPECT_EQ(written->confirmed, kWrittenAreaSize);
  ASSERT_EQ(written->changes.size(), 2u);
  EXPECT_EQ(written->changes[0].field, "port");
  EXPECT_EQ(written->changes[0].after, "10003");
  EXPECT_EQ(written->changes[1].before, "***");
  EXPECT_EQ(stopped->outcome, "interrupted");
  EXPECT_EQ(stopped->exit, kExitInterrupted);
  EXPECT_EQ(stopped->confirmed, 40u);
  ASSERT_EQ(stopped->changes.size(), 1u);
  EXPECT_EQ(stopped->changes[0].after, std::nullopt) << "sent, never confirmed";
  EXPECT_TRUE(std::filesystem::exists(stopped->backup));

  ASSERT_EQ(run({"log", "--name", "pump-south"}), kExitOk) << err.str();
  EXPECT_NE(out.str().find("  pump-south  address 1 on TCP " + endpoint() + "  write interrupted (exit 130)  apn "
                           "internet -> ?\n"),
            std::string::npos)
      << out.str();
  EXPECT_EQ(out.str().find("pump-north"), std::string::npos);
  ASSERT_EQ(run({"log", "--format", "json", "--since", "2000-01-01"}), kExitOk);
  EXPECT_EQ(out.str(), text);
  ASSERT_EQ(run({"log", "--since", "2999-01-01"}), kExitOk);
  EXPECT_EQ(out.str(), "");
  struct stat made {};
  ASSERT_EQ(::stat(log.c_str(), &made), 0);
  EXPECT_EQ(made.st_mode & 0777, 0600u);
}

}  // namespace
}  // namespace netsetup::cli
