#include "FrameSummary.h"

#include "link/Frame.h"
#include "link/FrameText.h"

namespace netsetup {

std::string describeRequest(const RequestFrame& request) {
  const std::vector<uint8_t>& f = request.bytes;
  std::string text;
  if (request.skippedCount) text = std::to_string(request.skippedCount) + " bytes skipped before it, ";
  if (request.verdict == RequestVerdict::BadComplement) {
    return text + "to " + std::to_string(f[kOffAddress]) + ", address complement BAD";
  }
  if (request.verdict == RequestVerdict::BadLength) {
    return text + "to " + std::to_string(f[kOffAddress]) + ", length " + std::to_string(f[kOffLength]) +
           " too long for a request";
  }
  return text + requestSummary(f.data(), f.size());
}

std::string describeAnswer(const std::vector<uint8_t>& frame) { return answerSummary(frame.data(), frame.size()); }

}  // namespace netsetup
