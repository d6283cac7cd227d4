// What the person at the keyboard learns when a line will not open.
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "link/StatusCode.h"
#include "link/posix/OpenDiagnosis.h"
#include "link/TransportFactory.h"
#include "support/LoopbackListener.h"
#include "support/PtyPair.h"
#include "support/TempDir.h"

namespace netsetup {
namespace {

// The failure text of opening `device`, as the user `uid` would get it (forked when not us).
std::string serialFailure(const std::string& device, uid_t uid = ::geteuid()) {
  if (uid == ::geteuid()) {
    const auto opened = makePlatformTransportFactory()->openSerial(device, 9600);
    return opened ? "" : opened.failure().explanation.english;
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

TEST(OpenDiagnosis, AMissingDeviceListsTheSerialDevicesPresentAndHowToMapOne) {
  testing::TempDir dev;
  for (const char* name : {"ttyS0", "ttyS1", "ttyS10", "ttyUSB0", "ttyACM2", "tty0", "ttyprintk", "console", "ptmx"})
    testing::writeFile(dev.file(name), "");
  testing::TempDir byId;
  std::filesystem::create_symlink(dev.file("ttyUSB0"), byId.file("usb-Adapter_A1-if00-port0"));
  std::vector<std::string> probed;
  const PresentSerialDevices present = findSerialDevices(dev.path().string(), byId.path().string(),
                                                         [&](const std::string& name) {
                                                           probed.push_back(name);
                                                           return name == "ttyS1";  // a UART behind it
                                                         });
  EXPECT_EQ(probed, (std::vector<std::string>{"ttyS0", "ttyS1", "ttyS10"}));
  EXPECT_EQ(present.devices, (std::vector<std::string>{dev.file("ttyACM2"), dev.file("ttyS1"), dev.file("ttyUSB0")}));
  EXPECT_EQ(present.stableNames,
            std::vector<std::string>{byId.file("usb-Adapter_A1-if00-port0") + " -> " + dev.file("ttyUSB0")});

  struct Case {
    const char* name;
    PresentSerialDevices present;
    std::vector<std::string> says;
  };
  const Case cases[] = {
      {"a built-in port only",
       {{"/dev/ttyS0"}, {}},
       {"/dev/ttyUSB7 does not exist (No such file or directory)", "present now:\n  /dev/ttyS0\n",
        "[Ports] section, e.g. COM1=/dev/ttyS0."}},
      {"an adapter",
       {{"/dev/ttyUSB0"}, {"/dev/serial/by-id/usb-A -> /dev/ttyUSB0"}},
       {"  /dev/ttyUSB0\n  /dev/serial/by-id/usb-A -> /dev/ttyUSB0\n", "COM1=/dev/ttyUSB0"}},
      {"nothing", {}, {"No serial device is present", "plug the adapter in"}},
  };
  for (const Case& c : cases) {
    const std::string text = missingDeviceText("/dev/ttyUSB7", "No such file or directory", c.present, Language::English);
    for (const std::string& part : c.says) EXPECT_NE(text.find(part), std::string::npos) << c.name << ": " << text;
  }
}

TEST(OpenDiagnosis, NamesTheAddressOfARefusedConnection) {
  const uint16_t port = testing::LoopbackListener().port();  // closed again: nothing listens
  auto factory = makePlatformTransportFactory();
  const TcpConnection attempt = factory->connectTcp({127, 0, 0, 1}, port);
  ASSERT_FALSE(attempt.line.ok());
  EXPECT_EQ(attempt.line.failure().status, ErrConnect);
  const std::string text = attempt.line.failure().explanation.english;
  EXPECT_NE(text.find("127.0.0.1:" + std::to_string(port) + " was refused"), std::string::npos) << text;
}

}  // namespace
}  // namespace netsetup
