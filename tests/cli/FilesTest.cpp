#include "cli/console/Files.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "support/TempDir.h"

namespace netsetup::cli {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

TEST(BackupFiles, NeverReplaceAFile) {
  TempDir dir;
  const std::string stem = dir.file("backup-a1-20261207T112233Z");
  // Savers at once, as processes in the same second: a name each, each file its own text.
  constexpr int kSavers = 8;
  std::vector<std::string> saved(kSavers);
  std::vector<std::thread> savers;
  for (int i = 0; i < kSavers; ++i) {
    savers.emplace_back([&, i] {
      const Result<std::string> path = saveUnderFreeName(stem, "area " + std::to_string(i));
      saved[i] = path ? *path : path.failure().text();
    });
  }
  for (std::thread& t : savers) t.join();
  EXPECT_EQ(std::set<std::string>(saved.begin(), saved.end()).size(), size_t{kSavers});
  for (int i = 0; i < kSavers; ++i) EXPECT_EQ(readFile(saved[i]), "area " + std::to_string(i)) << saved[i];

  // A row's oldest backup: by time, then by number; other rows' and other files are not its.
  for (const char* name : {"backup-a1-20261207T112232Z-3.txt", "backup-a1-20261207T112232Z-12.txt",
                           "backup-a12-20261101T000000Z.txt", "backup-a1-old.txt"}) {
    writeFile(dir.file(name), "");
  }
  // Named with the platform's separator, as every path a message shows.
  EXPECT_EQ(oldestSaved(dir.path().string(), "backup-a1-"), (dir.path() / "backup-a1-20261207T112232Z-3.txt").string());
  EXPECT_EQ(oldestSaved(dir.path().string(), "backup-a2-"), std::nullopt);
}

}  // namespace
}  // namespace netsetup::cli
