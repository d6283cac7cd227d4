#pragma once
#include <cstdint>
#include <optional>
#include <vector>

namespace netsetup {

// Which answers the answer faults and the servers' timing faults touch: every answer, or only
// those to one kind of request from its N-th on (retries count), so that a fault can strike the
// third chunk of a read or a write after two good ones.
struct FaultScope {
  enum class Command { Any, Identify, Read, Write };
  Command command = Command::Any;
  unsigned from = 1;

  bool operator==(const FaultScope&) const = default;
};

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
  std::optional<uint8_t> readLength;                // a read answer carries this many bytes, whatever was asked
  unsigned chatterBytes = 0;                        // 0 = off; else noise instead of an answer, never a frame
  // Limits the faults that shape an answer (answerFromAttempt, typePadding, noiseBytes,
  // strayStart, badChecksum, badComplement, oversizeLength, readLength, chatterBytes) and the
  // servers' timing faults. The silent and mangling knobs choose their requests themselves.
  FaultScope scope;

  bool operator==(const Faults&) const = default;
};

}  // namespace netsetup
