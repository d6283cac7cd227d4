// The file system's own rules decide what a save may do, so these run as an ordinary user: the
// test, started as root, makes files of two owners and saves from a child that dropped to nobody.
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/TempDir.h"
#include "config/IniFile.h"

namespace netsetup {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

constexpr uid_t kRoot = 0, kUser = 65534;  // nobody

bool saveAsOrdinaryUser(const std::string& path) {
  const pid_t child = ::fork();
  if (child == 0) {
    const bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(kUser) == 0 && ::setuid(kUser) == 0;
    ::_exit(dropped && ini::writeValue(path, "#", "Port", "2") ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(IniFilePermissions, AnOrdinaryUserSavesExactlyWhatThePlatformAllows) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to make files of two owners";
  struct Case {
    const char* name;
    uid_t folderOwner;
    bool fileExists;
    uid_t fileOwner;
    mode_t fileMode;
    bool saved;
  };
  const Case cases[] = {
      {"read-only file in the user's folder", kUser, true, kUser, 0444, false},
      {"root's 0644 file in the user's folder", kUser, true, kRoot, 0644, false},
      {"root's 0666 file in root's folder is written in place", kRoot, true, kRoot, 0666, true},
      {"the user's own file and folder", kUser, true, kUser, 0644, true},
      {"no file yet in root's folder", kRoot, false, kRoot, 0, false},
  };
  const std::string before = "; keep\r\n[#]\r\nPort=1\r\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const std::string folder = dir.file("f"), path = folder + "/netsetup.ini";
    std::filesystem::create_directory(folder);
    ASSERT_EQ(::chown(folder.c_str(), c.folderOwner, c.folderOwner), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    if (c.fileExists) {
      writeFile(path, before);
      ASSERT_EQ(::chown(path.c_str(), c.fileOwner, c.fileOwner), 0);
      ASSERT_EQ(::chmod(path.c_str(), c.fileMode), 0);
    }

    EXPECT_EQ(saveAsOrdinaryUser(path), c.saved);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    if (!c.fileExists) {
      EXPECT_FALSE(std::filesystem::exists(path));
      continue;
    }
    EXPECT_EQ(readFile(path), c.saved ? "; keep\r\n[#]\r\nPort=2\r\n" : before);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, c.fileOwner);
    EXPECT_EQ(st.st_mode & 07777, c.fileMode);
  }
}

}  // namespace
}  // namespace netsetup
