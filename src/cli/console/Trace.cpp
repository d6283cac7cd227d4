#include "cli/console/Trace.h"

#include "cli/console/Console.h"
#include "link/Frame.h"
#include "link/FrameText.h"
#include "link/StatusCode.h"

namespace netsetup::cli {

void Trace::requestSent(const uint8_t* frame, size_t length, uint32_t attempt) {
  out_ << localTimeOfDay() << " -> " << formatHex(frame, length) << " | " << requestSummary(frame, length);
  if (attempt > 1) out_ << " (attempt " << attempt << ")";
  out_ << '\n';
}

void Trace::responseEnded(const uint8_t* frame, size_t length, size_t discarded, int32_t status) {
  const std::string time = localTimeOfDay();
  if (discarded > 0) out_ << time << " <- " << discarded << " bytes of noise skipped before a start byte\n";
  out_ << time << " <- ";
  if (length == 0) {
    out_ << "nothing";
  } else {
    out_ << formatHex(frame, length) << " | ";
    if (status == StatusOk) {
      out_ << answerSummary(frame, length);
    } else {
      out_ << "incomplete frame, " << length << " bytes";
    }
  }
  if (status != StatusOk) out_ << " -> code " << status << ": " << statusMeaning(status);
  out_ << '\n';
  out_.flush();
}

void Trace::exchangeStopped() {
  out_ << localTimeOfDay() << " <- not waited for: interrupted, nothing more is sent\n";
  out_.flush();
}

void Trace::note(const std::string& text) {
  out_ << localTimeOfDay() << " == " << text << '\n';
  out_.flush();
}

void Trace::serialOpened(const std::string& device, const AdapterLatency& latency) {
  out_ << localTimeOfDay() << " == " << device << " open, " << adapterLatencyText(latency) << '\n';
  out_.flush();
}

}  // namespace netsetup::cli
