#pragma once
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include <gtest/gtest.h>

#include "link/Sleeper.h"
#include "link/Transport.h"
#include "support/RealClock.h"

namespace netsetup::testing {

// The idle time of a real line: with no input it lasts about as long as asked; a byte the
// device writes on `deviceFd` 50 ms in ends a long idle early, and is then read.
inline void expectIdleEndsOnInput(Transport& line, Sleeper& sleeper, int deviceFd, uint8_t byte) {
  auto start = Clock::now();
  line.idle(60, sleeper);
  EXPECT_GE(msSince(start), 50);
  EXPECT_LE(msSince(start), 1000);

  std::thread device([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(::write(deviceFd, &byte, 1), 1);
  });
  start = Clock::now();
  line.idle(3000, sleeper);
  EXPECT_LT(msSince(start), 2000) << "idle ends when input arrives";
  device.join();
  uint8_t got = 0;
  ASSERT_TRUE(line.readByte(got));
  EXPECT_EQ(got, byte);
}

}  // namespace netsetup::testing
