#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "link/LinkTexts.h"

namespace netsetup {

// USB serial adapters hold a short answer until their latency timer runs out (16 ms by
// default), which adds up over a read's many polls. What an opened port learned about that:
// Linux asks the driver for low latency; Windows reads the timer the driver keeps, which only
// an administrator may change.
struct AdapterLatency {
  enum class LowLatency { NotAsked, On, NotSupported };
  LowLatency lowLatency = LowLatency::NotAsked;
  std::optional<uint32_t> timerMs;  // the driver's latency timer, where it keeps one
  bool operator==(const AdapterLatency&) const = default;
};

// Above this the timer costs reads noticeably, and the text advises lowering it.
constexpr uint32_t kAdviseAboveMs = 2;

// "latency timer 16 ms: lower it to 1-2 ms in Device Manager > Port Settings > Advanced for
// faster reads", or just "latency timer 2 ms" when it is low already.
std::string latencyTimerText(uint32_t ms, Language language);

// One line for netsetup-cli's trace of an open: "low latency: on", "low latency: not supported by this
// device", the latency timer's text, or that the driver keeps none.
std::string adapterLatencyText(const AdapterLatency& latency);

}  // namespace netsetup
