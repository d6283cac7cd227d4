#include "Instrument.h"

#include <cstdio>

#include "link/DeviceCommands.h"
#include "link/Frame.h"

namespace netsetup {

namespace {

void addNote(std::string& note, const std::string& text) {
  if (!note.empty()) note += ", ";
  note += text;
}

const char* verdictText(RequestVerdict verdict) {
  switch (verdict) {
    case RequestVerdict::BadComplement:
      return "bad address complement";
    case RequestVerdict::BadLength:
      return "impossible length";
    case RequestVerdict::BadChecksum:
      return "bad checksum";
    case RequestVerdict::Ok:
      break;
  }
  return "ok";
}

uint16_t memoryAddressOf(const std::vector<uint8_t>& request) {
  return static_cast<uint16_t>(request[kOffData] << 8 | request[kOffData + 1]);
}

// Noise that never holds the response start byte, so no receiver can take it for a frame.
std::vector<uint8_t> noise(unsigned count) {
  std::vector<uint8_t> bytes;
  for (unsigned i = 0; i < count; ++i) {
    auto byte = static_cast<uint8_t>(i * 37 + 0x11);
    bytes.push_back(byte == kResponseStart ? 0x00 : byte);
  }
  return bytes;
}

}  // namespace

Instrument::Instrument(uint8_t address) : address_(address), memory_(defaultMemory()) {}

std::vector<uint8_t> Instrument::peek(uint16_t address, size_t count) const {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = memory_[static_cast<uint16_t>(address + i)];
  return bytes;
}

void Instrument::poke(uint16_t address, const std::vector<uint8_t>& bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) memory_[static_cast<uint16_t>(address + i)] = bytes[i];
}

Instrument::Command Instrument::classify(const std::vector<uint8_t>& request) {
  const uint8_t group = request[kOffGroup], code = request[kOffCommand], n = request[kOffLength];
  if (group == kGroupIdentify && code == kCodeIdentify && n == 0) return Command::Identify;
  if (group == kGroupRead && code == kCodeRead && n == 3) return Command::Read;
  if (group == kGroupWrite && code == kCodeWrite && n >= 2) return Command::Write;
  return Command::Unknown;
}

InstrumentResponse Instrument::respond(const RequestFrame& request) {
  InstrumentResponse response;
  if (request.verdict != RequestVerdict::Ok) {
    response.note = std::string("ignored: ") + verdictText(request.verdict);
    return response;
  }
  const std::vector<uint8_t>& bytes = request.bytes;
  const uint8_t to = bytes[kOffAddress];
  if (to != address_ && !(to == 0 && answersBroadcast_)) {
    response.note = "not for address " + std::to_string(address_);
    return response;
  }
  response.addressed = true;
  const Command command = classify(bytes);
  switch (command) {
    case Command::Identify:
      ++identifyRequests_;
      break;
    case Command::Read:
      ++readRequests_;
      break;
    case Command::Write:
      ++writeRequests_;
      lastWriteAddress_ = memoryAddressOf(bytes);
      break;
    case Command::Unknown:
      response.note = "unknown command: no answer";
      return response;
  }
  response.inScope = inScope(command);
  if (silencedByFaults(command, bytes, response)) return response;
  std::vector<uint8_t> data = execute(command, bytes, response);
  if (response.inScope && faults_.chatterBytes) {
    // A line that chatters: whatever the instrument did, what arrives never frames an answer.
    response.bytes = noise(faults_.chatterBytes);
    addNote(response.note, std::to_string(faults_.chatterBytes) + " noise bytes instead of the answer");
    return response;
  }
  response.frame = buildAnswer(bytes, std::move(data), response.inScope, response.note);
  if (response.inScope) response.bytes = prefix(response.note);
  response.bytes.insert(response.bytes.end(), response.frame.begin(), response.frame.end());
  return response;
}

bool Instrument::inScope(Command command) const {
  const FaultScope& scope = faults_.scope;
  switch (scope.command) {
    case FaultScope::Command::Any:
      return true;
    case FaultScope::Command::Identify:
      return command == Command::Identify && identifyRequests_ >= scope.from;
    case FaultScope::Command::Read:
      return command == Command::Read && readRequests_ >= scope.from;
    case FaultScope::Command::Write:
      return command == Command::Write && writeRequests_ >= scope.from;
  }
  return true;
}

bool Instrument::silencedByFaults(Command command, const std::vector<uint8_t>& request,
                                  InstrumentResponse& response) {
  std::string& why = response.note;
  if (faults_.silent) {
    why = "silent";
    return true;
  }
  if (command == Command::Read && faults_.silentFromRead && readRequests_ >= faults_.silentFromRead) {
    why = "silent from read request " + std::to_string(faults_.silentFromRead);
    return true;
  }
  if (command == Command::Write && faults_.silentFromWrite && writeRequests_ >= faults_.silentFromWrite) {
    why = "silent from write request " + std::to_string(faults_.silentFromWrite) + ", not stored";
    return true;
  }
  if (command == Command::Write && faults_.unconfirmedFromWrite && writeRequests_ >= faults_.unconfirmedFromWrite) {
    // As when the line breaks after the instrument stored a chunk but before its answer left.
    why = "stored, then silent from write request " + std::to_string(faults_.unconfirmedFromWrite);
    store(request, response);
    return true;
  }
  if (faults_.answerFromAttempt > 1 && response.inScope) {
    // Only an identical repeat counts as the next attempt; any other request starts over.
    if (request == lastUnanswered_) {
      ++attempt_;
    } else {
      lastUnanswered_ = request;
      attempt_ = 1;
    }
    if (attempt_ < faults_.answerFromAttempt) {
      why = "attempt " + std::to_string(attempt_) + ", answering from attempt " +
            std::to_string(faults_.answerFromAttempt);
      return true;
    }
    lastUnanswered_.clear();
    attempt_ = 0;
  }
  return false;
}

std::vector<uint8_t> Instrument::execute(Command command, const std::vector<uint8_t>& request,
                                         InstrumentResponse& response) {
  switch (command) {
    case Command::Identify: {
      std::vector<uint8_t> data(typeString_.begin(), typeString_.end());
      if (response.inScope) data.resize(data.size() + faults_.typePadding, 0);
      return data;
    }
    case Command::Read: {
      const uint8_t asked = request[kOffData + 2];
      if (response.inScope && faults_.readLength && *faults_.readLength != asked) {
        addNote(response.note, std::to_string(*faults_.readLength) + " bytes, not the " + std::to_string(asked) +
                                   " asked for");
        return peek(memoryAddressOf(request), *faults_.readLength);
      }
      return peek(memoryAddressOf(request), asked);
    }
    case Command::Write: {
      // An echo repeats the bytes as received, so only a read-back can reveal a mangled byte.
      std::vector<uint8_t> received = store(request, response);
      if (faults_.echoWrites) return received;
      return faults_.writeAnswer.value_or(std::vector<uint8_t>{});
    }
    case Command::Unknown:
      break;
  }
  return {};
}

std::vector<uint8_t> Instrument::store(const std::vector<uint8_t>& request, InstrumentResponse& response) {
  const uint16_t at = memoryAddressOf(request);
  std::vector<uint8_t> bytes(request.begin() + kOffData + 2,
                            request.begin() + kOffData + request[kOffLength]);
  const std::vector<uint8_t> received = bytes;
  if (faults_.mangleAddress) {
    const auto offset = static_cast<uint16_t>(*faults_.mangleAddress - at);  // wraps like the address
    if (offset < bytes.size()) {
      bytes[offset] ^= 0x01;
      char text[64];
      std::snprintf(text, sizeof text, "byte 0x%04X stored as 0x%02X, not 0x%02X", *faults_.mangleAddress,
                    bytes[offset], received[offset]);
      addNote(response.note, text);
    }
  }
  poke(at, bytes);
  response.stored = true;
  return received;
}

std::vector<uint8_t> Instrument::buildAnswer(const std::vector<uint8_t>& request, std::vector<uint8_t> data,
                                             bool faulty, std::string& note) const {
  if (faulty && faults_.oversizeLength > data.size()) {
    data.resize(faults_.oversizeLength, 0);
    addNote(note, "length forced to " + std::to_string(faults_.oversizeLength));
  }
  if (data.size() > 255) data.resize(255);  // the length is one byte
  std::vector<uint8_t> frame = {kResponseStart,
                                address_,
                                static_cast<uint8_t>(~address_),
                                request[kOffGroup],
                                request[kOffCommand],
                                static_cast<uint8_t>(data.size())};
  frame.insert(frame.end(), data.begin(), data.end());
  if (faulty && faults_.badComplement) {
    frame[kOffComplement] = address_;
    addNote(note, "wrong complement");
  }
  uint8_t sum = frameChecksum(frame.data(), frame.size());
  if (faulty && faults_.badChecksum) {
    ++sum;
    addNote(note, "wrong checksum");
  }
  frame.push_back(sum);
  return frame;
}

std::vector<uint8_t> Instrument::prefix(std::string& note) const {
  std::vector<uint8_t> bytes = noise(faults_.noiseBytes);
  if (faults_.noiseBytes) addNote(note, std::to_string(faults_.noiseBytes) + " noise bytes first");
  if (faults_.strayStart) {
    bytes.push_back(kResponseStart);
    addNote(note, "stray 0xAA first");
  }
  return bytes;
}

std::vector<std::vector<uint8_t>> Instrument::receive(const uint8_t* bytes, size_t count) {
  std::vector<std::vector<uint8_t>> answers;
  for (const RequestFrame& frame : parser_.feed(bytes, count)) {
    InstrumentResponse response = respond(frame);
    if (!response.bytes.empty()) answers.push_back(std::move(response.bytes));
  }
  return answers;
}

}  // namespace netsetup
