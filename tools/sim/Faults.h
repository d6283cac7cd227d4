#pragma once
#include <cstdint>
#include <optional>
#include <vector>

namespace netsetup {

// How an instrument misbehaves on purpose. Every knob defaults to a well-behaved instrument;
// knobs combine freely. Timing faults live in the servers, not here.
struct Faults {
  bool silent = false;                              // never answer
  unsigned answerFromAttempt = 1;                   // answer a request only when it arrives for the K-th time
  unsigned silentFromRead = 0;                      // 0 = never; else silent from the N-th read request on
  unsigned silentFromWrite = 0;                     // same for write requests (the write is not stored)
  unsigned unconfirmedFromWrite = 0;                // 0 = never; else from the N-th write on, stored but unanswered
  unsigned typePadding = 0;                         // zero bytes appended to the type string
  unsigned noiseBytes = 0;                          // bytes other than 0xAA sent before each answer
  bool strayStart = false;                          // an extra 0xAA just before each answer
  bool badChecksum = false;                         // answer checksum off by one
  bool badComplement = false;                       // answer byte 2 equals the address instead of its NOT
  uint8_t oversizeLength = 0;                       // 0 = off; else the answer's data is padded to this N
  bool echoWrites = false;                          // a write answer carries the bytes just stored
  std::optional<std::vector<uint8_t>> writeAnswer;  // fixed data for every write answer
  std::optional<uint16_t> mangleAddress;            // a write over this address stores that byte XOR 0x01
};

}  // namespace netsetup
