// Links and modes are POSIX matters; the rest of the file rules is tested on every platform.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "config/IniFile.h"
#include "support/TempDir.h"

namespace netsetup {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

TEST(IniFile, KeepsModeAndWritesThroughSymbolicLinks) {
  TempDir dir;
  const std::string real = dir.file("real.ini"), link = dir.file("link.ini");
  writeFile(real, "[#]\r\nPort=1\r\n");
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  std::filesystem::create_symlink(real, link);
  ASSERT_TRUE(ini::writeValue(link, "#", "Port", "2"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readFile(real), "[#]\r\nPort=2\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  // A link whose target does not exist yet creates it, absolute or relative to the link.
  std::filesystem::create_directory(dir.file("real"));
  const std::pair<std::string, std::string> links[] = {{"relative.ini", "real/missing.ini"},
                                                       {"absolute.ini", dir.file("real/absolute.ini")}};
  for (const auto& [name, target] : links) {
    std::filesystem::create_symlink(target, dir.file(name));
    ASSERT_TRUE(ini::writeValue(dir.file(name), "#", "Port", "3")) << target;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file(name)));
    EXPECT_EQ(readFile(target.starts_with('/') ? target : dir.file(target)), "[#]\r\nPort=3\r\n");
  }
  std::filesystem::create_symlink(dir.file("loop.ini"), dir.file("loop.ini"));
  EXPECT_FALSE(ini::writeValue(dir.file("loop.ini"), "#", "Port", "4"));
}

}  // namespace
}  // namespace netsetup
