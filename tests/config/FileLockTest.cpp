#include <gtest/gtest.h>

#include <filesystem>

#include "config/FileStore.h"
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

}  // namespace
}  // namespace netsetup
