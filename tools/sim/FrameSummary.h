#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "RequestParser.h"
#include "link/FrameText.h"

namespace netsetup {

// "55 01 FE": upper-case hex, one space between bytes.
inline std::string hexBytes(const std::vector<uint8_t>& bytes) { return formatHex(bytes.data(), bytes.size()); }

// One-line readings of frames for the transcript, e.g.
// "to 1, read 0x0620 count 40, checksum ok" or "from 1, identify 8 bytes \"VRN-207K\", checksum ok".
std::string describeRequest(const RequestFrame& request);
std::string describeAnswer(const std::vector<uint8_t>& frame);

}  // namespace netsetup
