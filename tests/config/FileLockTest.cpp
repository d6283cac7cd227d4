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
  ASSERT_TRUE(first.ok()) << first.failure().text();
  ASSERT_TRUE(first->lock);

  const Result<files::LockAttempt> second = files::tryLock(path);
  ASSERT_TRUE(second.ok()) << second.failure().text();
  EXPECT_FALSE(second->lock);
  EXPECT_TRUE(second->heldBy.starts_with("process ")) << second->heldBy;

  first->lock.reset();
  EXPECT_FALSE(std::filesystem::exists(path));
  const Result<files::LockAttempt> again = files::tryLock(path);
  ASSERT_TRUE(again.ok());
  EXPECT_TRUE(again->lock);
}

}  // namespace
}  // namespace netsetup
