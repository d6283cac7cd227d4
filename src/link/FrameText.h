#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace netsetup {

// Readings of frames for people: a trace of the line, the simulator's transcript.

// "55 01 FE": upper-case hex, one space between bytes.
std::string formatHex(const uint8_t* bytes, size_t count);

// "identify", "read", "write" or "command 0B 07".
std::string commandName(uint8_t group, uint8_t code);

// A whole request: "to 1, read 0x0620 count 40, checksum ok".
std::string requestSummary(const uint8_t* frame, size_t size);

// A whole answer: "from 1, identify 8 bytes \"VRN-207K\", checksum ok"; a frame whose size does
// not match its length byte, or a bad complement or checksum, is said so.
std::string answerSummary(const uint8_t* frame, size_t size);

// What a status code means, for people: "no answer in time", "bad checksum"...
std::string statusMeaning(int32_t status);

}  // namespace netsetup
