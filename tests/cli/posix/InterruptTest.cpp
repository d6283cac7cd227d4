// Ctrl+C (and the death of the process that started the program) at each step of each command:
// before a write's first chunk the work stops at the next exchange; once it is out, a first
// interrupt lets the write and its reading back finish, a second stops it at the next chunk.
// Whatever happens, the message matches what the instrument holds.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <numeric>
#include <thread>

#include "CliFixture.h"

namespace netsetup::cli {
namespace {

using netsetup::testing::readFile;
using netsetup::testing::writeFile;
using Kind = FaultScope::Command;

// What an instrument saw of one kind of request.
unsigned seen(InstrumentBus& bus, size_t at, Kind kind) {
  return bus.with(at, [kind](Instrument& i) {
    return kind == Kind::Identify ? i.identifyRequests() : kind == Kind::Read ? i.readRequests() : i.writeRequests();
  });
}

struct Case {
  const char* name;
  std::vector<std::string> args;  // {backup}, {saved} and {worklist} stand for the test's files
  Kind on;
  unsigned n;           // the interrupts come once the instrument has seen this many requests of a kind
  unsigned interrupts;  // how many come then
  int exit;
  const char* says;
  int chunksStored;     // chunks of the new area the instrument holds afterwards
  const char* notice;   // said at once, before the end
};

const std::vector<std::string> kEdit{"write", "--set", "port=10003", "--set", "login=abc", "--backup", "{backup}"};

const Case kCases[] = {
    {"identify", {"identify"}, Kind::Identify, 1, 1, kExitInterrupted,
     "interrupted while waiting for the identification answer", 0, ""},
    {"read", {"read"}, Kind::Read, 3, 1, kExitInterrupted,
     "interrupted while reading the settings area from address 1 (chunk 3 of 5)", 0, ""},
    {"backup", {"backup", "{saved}2"}, Kind::Read, 5, 1, kExitInterrupted, "interrupted while reading", 0, ""},
    {"write, reading", kEdit, Kind::Read, 1, 1, kExitInterrupted, "; nothing was written to the instrument", 0, ""},
    {"write, once chunk 2 is out", kEdit, Kind::Write, 2, 1, kExitInterrupted,
     "interrupted while writing; the write was finished first: wrote port, login to address 1", 5,
     "the write has begun, so it is finished first"},
    {"write, twice once chunk 2 is out", kEdit, Kind::Write, 2, 2, kExitInterrupted,
     "writing the settings area was interrupted: chunks 1-2 are written and confirmed; chunks 3-5 were not sent. "
     "The area as it was is in {backup}",
     2, "interrupted again: stopping after the exchange in hand"},
    {"write, reading back", kEdit, Kind::Read, 7, 1, kExitInterrupted,
     "the write was finished first: wrote port, login to address 1 on TCP 127.0.0.1:{port}; verified by reading back",
     5, "the write has begun"},
    {"write, twice while reading back", kEdit, Kind::Read, 7, 2, kExitInterrupted,
     "interrupted while reading back: every chunk is written and confirmed, but the write is not verified", 5,
     "interrupted again"},
    {"restore, twice", {"restore", "{saved}", "--backup", "{backup}"}, Kind::Write, 3, 2, kExitInterrupted,
     "writing the settings area was interrupted: chunks 1-3 are written and confirmed; chunks 4-5 were not sent", 3,
     "interrupted again"},
    // A batch finishes the row it is writing and begins no other.
    {"batch", {"batch", "{worklist}", "--report", "{saved}.csv"}, Kind::Write, 2, 1, kExitInterrupted,
     "no further row was begun", 5, "finished first"},
};

class Interrupt : public Cli, public ::testing::WithParamInterface<Case> {
 protected:
  std::string filled(std::string text) {
    for (const auto& [mark, value] : {std::pair{"{backup}", dir.file("before.txt")}, {"{saved}", dir.file("saved.txt")},
                                      {"{worklist}", dir.file("w.csv")}, {"{port}", std::to_string(tcp.port())}}) {
      for (size_t at; (at = text.find(mark)) != std::string::npos;) text.replace(at, std::string(mark).size(), value);
    }
    return text;
  }
};

TEST_P(Interrupt, StopsWhereTheInstrumentIsWhole) {
  const Case& c = GetParam();
  ASSERT_EQ(run(over({"backup", dir.file("saved.txt")})), kExitOk);
  writeFile(dir.file("w.csv"), "tcp,address,port,login\n" + endpoint() + ",1,10003,abc\n" + endpoint() + ",2,10004,\n");
  // The area differs from the saved one in a byte of chunk 1 and of chunk 5, so a restore writes.
  InstrumentMemory changed = memory();
  changed[kSettingsAreaAddress + 30] ^= 0xFF;
  changed[kSettingsAreaAddress + 170] ^= 0xFF;
  bus.with(0, [&](Instrument& i) { i.memory() = changed; });
  // From the request that brings the interrupts on, answers come late, so the link is waiting.
  const unsigned at = seen(bus, 0, c.on) + c.n;
  bus.with(0, [&](Instrument& i) { i.faults().scope = {c.on, at}; });
  LineTiming late;
  late.delayMs = 300;
  tcp.setTiming(late);
  interruptsWhen = [&] { return seen(bus, 0, c.on) >= at ? c.interrupts : 0u; };

  std::vector<std::string> args;
  for (const std::string& arg : c.args) args.push_back(filled(arg));
  EXPECT_EQ(run(args.front() == "batch" ? args : over(args)), c.exit) << err.str();
  const std::string says = filled(c.says);
  EXPECT_NE(err.str().find(says), std::string::npos) << err.str();
  if (*c.notice) {
    EXPECT_LT(err.str().find(c.notice), err.str().find(says)) << err.str();
  } else {
    EXPECT_EQ(err.str().find("interrupted while writing: the write has begun"), std::string::npos);
  }
  // The new area as far as it went, the old one after.
  const SettingsArea held = areaIn(memory());
  const size_t end =
      std::accumulate(kWriteChunkSizes.begin(), kWriteChunkSizes.begin() + c.chunksStored, size_t{0});
  EXPECT_TRUE(std::equal(held.begin() + end, held.end(), areaIn(changed).begin() + end)) << "written past the chunks";
  if (c.chunksStored == kChunkCount) {
    EXPECT_NE(held, areaIn(changed));
  }
  EXPECT_EQ(writes(1), 0u) << "the second instrument was touched";
}

INSTANTIATE_TEST_SUITE_P(Commands, Interrupt, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

// An interrupt while a chunk goes unanswered is said at once; the chunk runs its attempts, and
// the end names both the interrupt and what the chunk left in doubt.
TEST_F(Cli, AnInterruptDuringAnUnansweredChunkNamesBoth) {
  retries = 2;
  bus.with(0, [](Instrument& i) { i.faults().silentFromWrite = 2; });
  interruptsWhen = [&] { return writes() >= 2 ? 1u : 0u; };
  EXPECT_EQ(run(over({"write", "--set", "apn=isp.example", "--backup", dir.file("b.txt")})), kExitInterrupted);
  const std::string text = err.str();
  EXPECT_NE(text.find("interrupted while the write was finished, and writing the settings area failed: chunk 2 of 5 "
                      "was sent but not confirmed"),
            std::string::npos)
      << text;
  EXPECT_LT(text.find("it is finished first"), text.find("chunk 2 of 5")) << text;
  EXPECT_NE(text.find("not known, the instrument holds the old or the new value: apn"), std::string::npos) << text;
}

// Stopped after the backup is saved and before the first chunk: the instrument is as it was, and
// apply's object must not claim a change.
TEST_F(Cli, ApplyStoppedBeforeTheFirstChunkClaimsNoChange) {
  const std::string backup = dir.file("before.txt");
  stopWhen = [&backup] { return std::filesystem::exists(backup); };
  EXPECT_EQ(run(over({"apply", "--json", "--set", "port=10003", "--backup", backup})), kExitInterrupted);
  EXPECT_NE(err.str().find("interrupted before the first chunk was sent"), std::string::npos) << err.str();
  EXPECT_NE(out.str().find(R"("changed": false, "fields": ["port"])"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find(R"("after": {"port": 10001})"), std::string::npos) << out.str();
  EXPECT_EQ(writes(), 0u);
}

// The program itself, started by a process that dies while it works: the kernel's signal acts
// as an interrupt, so nothing more is written for a caller that is gone (and a write begun is
// finished). This process adopts the orphan to learn how it ended.
TEST_F(Cli, ACallerThatDiesIsAnInterrupt) {
  ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  struct Case {
    const char* name;
    Kind on;
    unsigned n;
    const char* says;
    unsigned writesAfter;
  };
  const Case cases[] = {
      {"while reading", Kind::Read, 2, "interrupted while reading the settings area", 0},
      {"once the write is out", Kind::Write, 1, "the write was finished first", 5},
  };
  LineTiming late;
  late.delayMs = 150;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bus.with(0, [](Instrument& i) { i = Instrument(1); });
    tcp.setTiming(late);
    // Made before the fork: between fork and exec a child of a threaded process only calls
    // what is safe there.
    const std::string log = dir.file(std::string(c.name) + ".err"), tcpArg = endpoint(),
                      backup = dir.file(std::string(c.name) + ".txt");
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const pid_t caller = ::fork();
    if (caller == 0) {
      const pid_t program = ::fork();
      if (program == 0) {
        const int errFd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(errFd, STDERR_FILENO);
        ::execl(NETSETUP_CLI_EXE, NETSETUP_CLI_EXE, "--tcp", tcpArg.c_str(), "write", "--set", "port=10003",
                "--backup", backup.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
      }
      (void)!::write(pipe[1], &program, sizeof program);
      ::pause();  // until killed
      ::_exit(0);
    }
    pid_t program = -1;
    ASSERT_EQ(::read(pipe[0], &program, sizeof program), static_cast<ssize_t>(sizeof program));
    ::close(pipe[0]);
    ::close(pipe[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (seen(bus, 0, c.on) < c.n && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(caller, SIGKILL);
    ::waitpid(caller, nullptr, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(program, &status, 0), program);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kExitInterrupted) << status << readFile(log);
    EXPECT_NE(readFile(log).find(c.says), std::string::npos) << readFile(log);
    EXPECT_EQ(writes(), c.writesAfter);
  }
}

}  // namespace
}  // namespace netsetup::cli
