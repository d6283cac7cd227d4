#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Faults.h"
#include "InstrumentMemory.h"
#include "RequestParser.h"

namespace netsetup {

// What an instrument does with one request frame.
struct InstrumentResponse {
  std::vector<uint8_t> bytes;  // everything to send (noise and stray start included); empty = no answer
  std::vector<uint8_t> frame;  // the answer frame alone, as built (faults included)
  bool addressed = false;      // the request was for this instrument
  bool stored = false;         // a write changed memory
  bool inScope = true;         // within the faults' scope: the servers add their timing faults
  std::string note;            // why there is no answer, or which faults shaped it
};

// The instrument itself, without I/O or a clock: 64 KiB of memory, a network address, a type
// string, and the three commands. Feed it request bytes; it answers as the device would.
class Instrument {
 public:
  explicit Instrument(uint8_t address = 1);

  uint8_t address() const { return address_; }
  void setAddress(uint8_t address) { address_ = address; }
  const std::string& typeString() const { return typeString_; }
  void setTypeString(std::string text) { typeString_ = std::move(text); }
  // Whether requests to address 0 are answered. On a bus of several instruments only one should.
  void setAnswersBroadcast(bool on) { answersBroadcast_ = on; }

  Faults& faults() { return faults_; }
  const Faults& faults() const { return faults_; }

  InstrumentMemory& memory() { return memory_; }
  const InstrumentMemory& memory() const { return memory_; }
  // Addresses wrap at 0xFFFF, as the 16-bit address does on the device.
  std::vector<uint8_t> peek(uint16_t address, size_t count) const;
  void poke(uint16_t address, const std::vector<uint8_t>& bytes);

  // Requests seen (addressed to this instrument), answered or not, since creation.
  unsigned identifyRequests() const { return identifyRequests_; }
  unsigned readRequests() const { return readRequests_; }
  unsigned writeRequests() const { return writeRequests_; }
  // The memory address of the last write request seen, stored or not.
  std::optional<uint16_t> lastWriteAddress() const { return lastWriteAddress_; }

  // One framed request from any channel.
  InstrumentResponse respond(const RequestFrame& request);

  // A byte stream from this instrument's own receiver: the answers, in order, to the requests
  // completed by these bytes.
  std::vector<std::vector<uint8_t>> receive(const uint8_t* bytes, size_t count);

 private:
  enum class Command { Identify, Read, Write, Unknown };
  static Command classify(const std::vector<uint8_t>& request);
  bool inScope(Command command) const;
  bool silencedByFaults(Command command, const std::vector<uint8_t>& request, InstrumentResponse& response);
  std::vector<uint8_t> execute(Command command, const std::vector<uint8_t>& request,
                               InstrumentResponse& response);
  // Stores a write request's data, as mangled by the faults; returns the data as received.
  std::vector<uint8_t> store(const std::vector<uint8_t>& request, InstrumentResponse& response);
  std::vector<uint8_t> buildAnswer(const std::vector<uint8_t>& request, std::vector<uint8_t> data,
                                   bool faulty, std::string& note) const;
  std::vector<uint8_t> prefix(std::string& note) const;

  uint8_t address_;
  std::string typeString_ = "VRN-207K";
  bool answersBroadcast_ = true;
  Faults faults_;
  InstrumentMemory memory_;
  RequestParser parser_;
  std::vector<uint8_t> lastUnanswered_;
  unsigned attempt_ = 0;
  unsigned identifyRequests_ = 0, readRequests_ = 0, writeRequests_ = 0;
  std::optional<uint16_t> lastWriteAddress_;
};

}  // namespace netsetup
