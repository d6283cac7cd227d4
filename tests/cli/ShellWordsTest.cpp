// The commands the tool prints for pasting must reach the program with every word intact.
#include <gtest/gtest.h>

#include "cli/console/ShellWords.h"
#include "cli/session/Target.h"

namespace netsetup::cli {
namespace {

TEST(ShellWords, QuotesAWordOnlyWhenItsShellWouldChangeIt) {
  struct Row {
    std::string word;
    Shell shell;
    std::string expected;
  };
  const Row rows[] = {
      {"rep-backups/backup-a5-20261207T112233Z.txt", Shell::Posix, "rep-backups/backup-a5-20261207T112233Z.txt"},
      {"rep-backups/pump 5 backup.txt", Shell::Posix, "'rep-backups/pump 5 backup.txt'"},
      {"it's $HOME;`x`", Shell::Posix, "'it'\\''s $HOME;`x`'"},
      {"", Shell::Posix, "''"},
      {"a\\b", Shell::Posix, "'a\\b'"},
      {"C:\\work\\backup.txt", Shell::WindowsCmd, "C:\\work\\backup.txt"},
      {"C:\\pump 5\\b.txt", Shell::WindowsCmd, "\"C:\\pump 5\\b.txt\""},
      {"C:\\pump 5\\", Shell::WindowsCmd, "\"C:\\pump 5\\\\\""},  // the last backslash would escape the quote
      {"say \\\"hi\"", Shell::WindowsCmd, "\"say \\\\\\\"hi\\\"\""},
  };
  for (const Row& row : rows) EXPECT_EQ(shellWord(row.word, row.shell), row.expected) << row.word;
}

TEST(ShellWords, LinkArgumentsRepeatTheOptionsAsGiven) {
  LinkOptions serial;
  serial.settingsFile = "my netsetup.ini";
  serial.serial = "COM3";
  serial.baud = 57600;
  EXPECT_EQ(linkArguments(serial, 1, Shell::Posix), "--settings 'my netsetup.ini' --serial COM3 --baud 57600 --address 1");
  EXPECT_EQ(linkArguments(serial, 1, Shell::WindowsCmd),
            "--settings \"my netsetup.ini\" --serial COM3 --baud 57600 --address 1");
}

}  // namespace
}  // namespace netsetup::cli
