#pragma once
#include <ostream>

#include "link/LinkObserver.h"

namespace netsetup::cli {

// --trace: every frame sent and received, read for a person, with the time to the millisecond:
//   11:22:33.417 -> 55 01 FE 0F 01 03 06 20 28 4A | to 1, read 0x0620 count 40, checksum ok
//   11:22:33.418 <- AA 01 FE 0F 01 28 ... | from 1, read 40 bytes, checksum ok
// A retry says which attempt it is; a time-out, a damaged frame, skipped noise and a wait
// given up on Ctrl+C are said so. Each serial open tells what it learned about the adapter's
// latency:
//   11:22:33.401 == /dev/ttyUSB0 open, low latency: on
class Trace final : public LinkObserver {
 public:
  explicit Trace(std::ostream& out) : out_(out) {}
  void requestSent(const uint8_t* frame, size_t length, uint32_t attempt) override;
  void responseEnded(const uint8_t* frame, size_t length, size_t discarded, int32_t status) override;
  void exchangeStopped() override;
  void serialOpened(const std::string& device, const AdapterLatency& latency) override;
  // A line of its own about the link: "11:22:33.400 == pump-north is 10.20.0.11".
  void note(const std::string& text);

 private:
  std::ostream& out_;
};

}  // namespace netsetup::cli
