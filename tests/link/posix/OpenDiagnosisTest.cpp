// What the person at the keyboard learns when a line will not open.
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>

#include "link/StatusCode.h"
#include "link/TransportFactory.h"
#include "support/LoopbackListener.h"
#include "support/PtyPair.h"
#include "support/TempDir.h"

namespace netsetup {
namespace {

// The failure text of opening `device`, as the user `uid` would get it (forked when not us).
std::string serialFailure(const std::string& device, uid_t uid = ::geteuid()) {
  if (uid == ::geteuid()) {
    auto factory = makePlatformTransportFactory();
    return factory->openSerial(device, 9600) ? "" : factory->lastFailure();
  }
  int pipe[2];
  EXPECT_EQ(::pipe(pipe), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    std::string text = "could not drop privileges";
    if (::setgroups(0, nullptr) == 0 && ::setgid(uid) == 0 && ::setuid(uid) == 0) text = serialFailure(device);
    (void)!::write(pipe[1], text.data(), text.size());
    ::_exit(0);
  }
  ::close(pipe[1]);
  std::string text;
  char buffer[512];
  for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
  ::close(pipe[0]);
  ::waitpid(child, nullptr, 0);
  return text;
}

TEST(OpenDiagnosis, SaysWhyASerialPortWillNotOpenAndWhatToDo) {
  testing::PtyPair pty;
  testing::TempDir dir;
  testing::writeFile(dir.file("plain"), "x");
  auto holder = makePlatformTransportFactory()->openSerial(pty.path, 9600);  // another program's open
  ASSERT_TRUE(holder);
  testing::PtyPair free;

  struct Case {
    const char* name;
    std::string device;
    uid_t user;
    std::vector<std::string> says;
  };
  const uid_t me = ::geteuid();
  std::vector<Case> cases = {
      {"no such device", "/dev/ttyUSB97", me, {"/dev/ttyUSB97 does not exist"}},
      {"held by another program", pty.path, me, {"is in use by another program", std::to_string(::getpid())}},
      {"a regular file", dir.file("plain"), me, {"is not a serial port"}},
      {"a folder", dir.path().string(), me, {"is not a serial port"}},
  };
  if (me == 0) {
    // A port of the group dialout, opened by a user outside it.
    const group* dialout = ::getgrnam("dialout");
    ASSERT_NE(dialout, nullptr);
    ASSERT_EQ(::chown(free.path.c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(free.path.c_str(), 0660), 0);
    cases.push_back({"no permission", free.path, 65534, {"group 'dialout'", "sudo usermod -aG dialout nobody"}});
  }
  for (const Case& c : cases) {
    const std::string text = serialFailure(c.device, c.user);
    for (const std::string& part : c.says) EXPECT_NE(text.find(part), std::string::npos) << c.name << ": " << text;
  }
}

TEST(OpenDiagnosis, NamesTheAddressOfARefusedConnection) {
  const uint16_t port = testing::LoopbackListener().port();  // closed again: nothing listens
  auto factory = makePlatformTransportFactory();
  EXPECT_EQ(factory->connectTcp({127, 0, 0, 1}, port).status, ErrConnect);
  const std::string text = factory->lastFailure();
  EXPECT_NE(text.find("127.0.0.1:" + std::to_string(port) + " was refused"), std::string::npos) << text;
}

}  // namespace
}  // namespace netsetup
