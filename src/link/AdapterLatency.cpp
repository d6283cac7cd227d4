#include "link/AdapterLatency.h"

namespace netsetup {

std::string latencyTimerText(uint32_t ms) {
  std::string text = "latency timer " + std::to_string(ms) + " ms";
  if (ms > kAdviseAboveMs) text += ": lower it to 1-2 ms in Device Manager > Port Settings > Advanced for faster reads";
  return text;
}

std::string adapterLatencyText(const AdapterLatency& latency) {
  switch (latency.lowLatency) {
    case AdapterLatency::LowLatency::On: return "low latency: on";
    case AdapterLatency::LowLatency::NotSupported: return "low latency: not supported by this device";
    case AdapterLatency::LowLatency::NotAsked: break;
  }
  return latency.timerMs ? latencyTimerText(*latency.timerMs) : "latency timer: none kept by this port's driver";
}

}  // namespace netsetup
