#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/AdapterLatency.h"

namespace netsetup {

// Sees every frame the channel moves, for a trace of the line. The channel's behaviour does not
// depend on it; with no observer nothing is reported.
class LinkObserver {
 public:
  virtual ~LinkObserver() = default;
  // A request is about to go out; `attempt` counts from 1 within one exchange.
  virtual void requestSent(const uint8_t* frame, size_t length, uint32_t attempt) = 0;
  // Reception ended with `status`: `frame` holds the bytes received from the start byte on
  // (`length` may be 0), `discarded` the bytes skipped while hunting for it.
  virtual void responseEnded(const uint8_t* frame, size_t length, size_t discarded, int32_t status) = 0;
  // The exchange ended because a stop was asked for (Tmod07::setStopCheck): no answer is taken
  // and no further attempt is sent.
  virtual void exchangeStopped() {}
  // A serial port opened on `device`, and what it learned about the adapter's latency.
  virtual void serialOpened(const std::string& /*device*/, const AdapterLatency& /*latency*/) {}
};

}  // namespace netsetup
