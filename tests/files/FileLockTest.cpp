#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "files/FileStore.h"
#include "support/TempDir.h"

namespace netsetup {
namespace {

TEST(FileLock, IsHeldByOneAtATimeAndNamesItsHolder) {
  testing::TempDir dir;
  const std::string path = dir.file("r.csv.lock");
  Result<files::LockAttempt> first = files::tryLock(path);
  ASSERT_TRUE(first.ok() && first->lock);
  const Result<files::LockAttempt> second = files::tryLock(path);
  ASSERT_TRUE(second.ok() && !second->lock);
  EXPECT_TRUE(second->heldBy.starts_with("process ")) << second->heldBy;
  first->lock.reset();
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(files::tryLock(path)->lock);
}

// Lines added by many writers at once (hosts of one fleet logging their writes) stay whole.
TEST(FileLock, LinesAppendedAtOnceNeverMix) {
  testing::TempDir dir;
  const std::string path = dir.file("writes.jsonl");
  constexpr int kWriters = 8, kLines = 50;
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([&path, w] {
      const std::string line = "{\"writer\": " + std::to_string(w) + ", \"padding\": \"" + std::string(3000, 'x') + "\"}\n";
      for (int i = 0; i < kLines; ++i) EXPECT_TRUE(files::appendLocked(path, line, true).ok());
    });
  }
  for (std::thread& writer : writers) writer.join();
  std::istringstream lines(testing::readFile(path));
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    EXPECT_TRUE(line.starts_with("{\"writer\": ") && line.ends_with("\"}") && line.size() < 3100) << line.substr(0, 80);
  }
  EXPECT_EQ(count, kWriters * kLines);
}

}  // namespace
}  // namespace netsetup
