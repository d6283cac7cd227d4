#include "link/AdapterLatency.h"

#include <gtest/gtest.h>

namespace netsetup {
namespace {

using LowLatency = AdapterLatency::LowLatency;
const std::string kAdvice = ": lower it to 1-2 ms in Device Manager > Port Settings > Advanced for faster reads";

// The advice shows only when the timer costs time: above 2 ms.
TEST(AdapterLatency, TextsForTheTraceAndThePortList) {
  const std::pair<AdapterLatency, std::string> cases[] = {
      {{LowLatency::On, std::nullopt}, "low latency: on"},
      {{LowLatency::NotSupported, std::nullopt}, "low latency: not supported by this device"},
      {{LowLatency::NotAsked, 16}, "latency timer 16 ms" + kAdvice},
      {{LowLatency::NotAsked, 3}, "latency timer 3 ms" + kAdvice},
      {{LowLatency::NotAsked, 2}, "latency timer 2 ms"},
      {{LowLatency::NotAsked, 1}, "latency timer 1 ms"},
      {{LowLatency::NotAsked, std::nullopt}, "latency timer: none kept by this port's driver"},
  };
  for (const auto& [latency, text] : cases) {
    EXPECT_EQ(adapterLatencyText(latency), text);
    if (latency.timerMs) {
      EXPECT_EQ(latencyTimerText(*latency.timerMs), text);
    }
  }
}

}  // namespace
}  // namespace netsetup
