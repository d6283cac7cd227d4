// Where results go: standard output that loses them is a failure, and -o never replaces a file
// the command reads or a backup.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "CliFixture.h"

namespace netsetup::cli {
namespace {

using netsetup::testing::readFile;
using netsetup::testing::writeFile;

enum class Output { DevFull, Closed, SizeLimit };

// The program itself with standard output as `output` says; its exit status, its standard
// error in `err`.
int runProgram(const std::vector<std::string>& args, Output output, const std::string& scratch, std::string& err) {
  const std::string errFile = scratch + ".err", outFile = scratch + ".out";
  std::vector<std::string> argv{NETSETUP_CLI_EXE};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    const int errFd = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(errFd, STDERR_FILENO);
    if (output == Output::DevFull) ::dup2(::open("/dev/full", O_WRONLY), STDOUT_FILENO);
    if (output == Output::Closed) ::close(STDOUT_FILENO);
    if (output == Output::SizeLimit) {
      ::dup2(::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
      const rlimit limit{150, 150};  // less than the table, more than the complaint on standard error
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ::execv(NETSETUP_CLI_EXE, pointers.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  err = readFile(errFile);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

TEST_F(Cli, AResultStandardOutputCannotTakeIsAFailure) {
  writeFile(dir.file("s.ini"), "[settings]\nport=10009\n");
  struct Case {
    std::vector<std::string> args;
    Output output;
    const char* says;
  };
  const Case cases[] = {
      {over({"read", "--format", "ini"}), Output::DevFull, "cannot write standard output: No space left on device"},
      {over({"identify"}), Output::DevFull, "cannot write standard output: No space left on device"},
      {over({"diff", dir.file("s.ini")}), Output::DevFull, "cannot write standard output"},
      {over({"apply", "--json", "--check", "--set", "port=10009"}), Output::DevFull, "cannot write standard output"},
      {over({"read"}), Output::Closed, "cannot write standard output: it is closed"},
      {over({"read"}), Output::SizeLimit, "cannot write standard output: File too large"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[2]);
    std::string errText;
    EXPECT_EQ(runProgram(c.args, c.output, dir.file("run"), errText), kExitUsage) << errText;
    EXPECT_NE(errText.find(c.says), std::string::npos) << errText;
  }
}

// -o takes a file of its own: never the settings file the link comes from (by any name), nor a
// backup; "-" and /dev/stdout are standard output.
TEST_F(Cli, OutputNeverReplacesWhatTheCommandReadsOrABackup) {
  const std::string settings = dir.file("netsetup.ini");
  writeFile(settings, "[#]\r\nUseIP=1\r\nSockIP=127.0.0.1\r\nSockPort=" + std::to_string(tcp.port()) +
                          "\r\n[Ports]\r\nCOM1=/dev/ttyUSB9\r\n");
  std::filesystem::create_symlink(settings, dir.file("alias.ini"));
  std::filesystem::create_hard_link(settings, dir.file("hard.ini"));
  ASSERT_EQ(run(over({"backup", dir.file("b.txt")})), kExitOk);
  const std::string keptSettings = readFile(settings), keptBackup = readFile(dir.file("b.txt"));
  for (const std::string& output : {settings, dir.file("alias.ini"), dir.file("hard.ini"), dir.file("b.txt")}) {
    SCOPED_TRACE(output);
    EXPECT_EQ(run({"--settings", settings, "read", "--format", "ini", "-o", output}), kExitUsage);
    EXPECT_NE(err.str().find("-o " + output + " is "), std::string::npos) << err.str();
    EXPECT_EQ(readFile(settings), keptSettings);
    EXPECT_EQ(readFile(dir.file("b.txt")), keptBackup);
  }
  for (const char* output : {"-", "/dev/stdout"}) {
    ASSERT_EQ(run({"--settings", settings, "read", "--format", "ini", "-o", output}), kExitOk) << err.str();
    EXPECT_NE(out.str().find("[settings]\n"), std::string::npos) << out.str();
  }
}

}  // namespace
}  // namespace netsetup::cli
