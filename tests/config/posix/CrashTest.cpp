// Files the tool writes survive a crash and a full disk: the old file or the new one, never a
// mix, never a temporary file left behind by a failure.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>

#include "files/FileStore.h"
#include "config/SettingsFile.h"
#include "support/TempDir.h"

namespace netsetup {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

const std::string kOther = "; kept by hand\r\n[Ports]\r\nCOM1=/dev/pts/3\r\n\r\n";
const LinkSettings kOld{0, 0, false, "", "10001"};
const LinkSettings kNew{7, 5, true, "192.168.100.200", "65000"};

// The whole file after a save of `settings` over the other sections.
std::string savedText(const LinkSettings& settings) {
  TempDir dir;
  writeFile(dir.file("f.ini"), kOther);
  EXPECT_TRUE(SettingsFile(dir.file("f.ini")).save(settings).ok());
  return readFile(dir.file("f.ini"));
}

TEST(FileCrash, AKillWhileSavingLeavesTheOldFileOrTheNewOne) {
  const std::string oldText = savedText(kOld), newText = savedText(kNew);
  TempDir dir;
  const std::string path = dir.file("netsetup.ini");
  std::mt19937 random(20261207);
  int sawOld = 0, sawNew = 0;
  for (int kill = 0; kill < 300; ++kill) {
    writeFile(path, oldText);
    const pid_t child = ::fork();
    if (child == 0) {
      for (bool flip = true;; flip = !flip) (void)SettingsFile(path).save(flip ? kNew : kOld);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string text = readFile(path);
    ASSERT_TRUE(text == oldText || text == newText) << "kill " << kill << " left:\n" << text;
    (text == oldText ? sawOld : sawNew)++;
  }
  // Both ends were met, so the kills did land in the middle of saves.
  EXPECT_GT(sawOld, 0);
  EXPECT_GT(sawNew, 0);
}

// Runs `write` in a child whose files may not grow past `limit` bytes, as on a full disk.
bool writeWithLimit(rlim_t limit, const std::function<bool()>& write) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead of killing the process
    const rlimit small{limit, limit};
    ::_exit(::setrlimit(RLIMIT_FSIZE, &small) == 0 && write() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(FileCrash, AFullDiskFailsTheSaveAndLeavesTheOldFile) {
  const std::string oldText = savedText(kOld);
  struct Case {
    const char* name;
    std::function<bool(const std::string&)> write;
  };
  const Case cases[] = {
      {"settings file", [](const std::string& p) { return SettingsFile(p).save(kNew).ok(); }},
      {"backup", [](const std::string& p) { return files::updateFile(p, [](auto&) { return std::string(5000, 'b'); }).ok(); }},
      {"report row", [](const std::string& p) { return files::updateFile(p, [](auto& t) { return t + std::string(200, 'r'); }).ok(); }},
      {"new backup", [](const std::string& p) {
         const Result<bool> made = files::createFile(p + ".new", std::string(5000, 'n'), true);
         return made.ok() && *made;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.file("file");
    writeFile(path, oldText);
    EXPECT_FALSE(writeWithLimit(oldText.size(), [&] { return c.write(path); }));
    EXPECT_EQ(readFile(path), oldText);
    // Nothing else is left: no temporary file, no partial new one.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    EXPECT_TRUE(writeWithLimit(1 << 20, [&] { return c.write(path); }));  // with room, the same write goes through
  }
}

}  // namespace
}  // namespace netsetup
