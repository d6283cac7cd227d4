#pragma once
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace netsetup::testing {

// A pseudo-terminal: the code under test opens `path`, the test plays the device on `master`.
// The pair holds a slave descriptor of its own, so the line never hangs up when the code under
// test closes it.
struct PtyPair {
  PtyPair() {
    char name[256] = {};
    EXPECT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    path = name;
  }
  ~PtyPair() {
    ::close(master);
    ::close(slave);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  // Sends as the device and waits until the bytes reach the slave side, which the tty does
  // asynchronously.
  void deviceSends(const std::vector<uint8_t>& bytes) const {
    ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    pollfd entry{slave, POLLIN, 0};
    ASSERT_EQ(::poll(&entry, 1, 2000), 1);
  }

  int master = -1;
  int slave = -1;
  std::string path;
};

}  // namespace netsetup::testing
