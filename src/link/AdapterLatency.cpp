#include "link/AdapterLatency.h"

namespace netsetup {

std::string latencyTimerText(uint32_t ms, Language language) {
  std::string text = linkText(language, LinkText::LatencyTimer, {std::to_string(ms)});
  if (ms > kAdviseAboveMs) text += linkText(language, LinkText::LatencyAdvice);
  return text;
}

std::string adapterLatencyText(const AdapterLatency& latency) {
  switch (latency.lowLatency) {
    case AdapterLatency::LowLatency::On: return "low latency: on";
    case AdapterLatency::LowLatency::NotSupported: return "low latency: not supported by this device";
    case AdapterLatency::LowLatency::NotAsked: break;
  }
  return latency.timerMs ? latencyTimerText(*latency.timerMs, Language::English) : "latency timer: none kept by this port's driver";
}

}  // namespace netsetup
