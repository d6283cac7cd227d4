// The simulated instrument's receiver on any request stream: framing, the three commands and
// the fault switches, checked against a plain model of the device's memory.
//
// Input: byte 0 the instrument's address, byte 1 fault switches, byte 2 where the stream is cut
// in two deliveries, then the stream.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "Instrument.h"
#include "InstrumentMemory.h"
#include "RequestParser.h"
#include "link/Frame.h"

using namespace netsetup;

namespace {

uint8_t checksum(const std::vector<uint8_t>& f, size_t count) {
  uint8_t s = 0;
  for (size_t i = 0; i < count; ++i) s = static_cast<uint8_t>(s + f[i]);
  return static_cast<uint8_t>(~s);
}

void checkFrame(const RequestFrame& frame) {
  const std::vector<uint8_t>& f = frame.bytes;
  FUZZ_CHECK(!f.empty() && f[0] == kRequestStart, "a frame starts with its start byte");
  FUZZ_CHECK(frame.skipped.size() <= RequestParser::kMaxKeptSkipped && frame.skipped.size() <= frame.skippedCount,
             "skipped bytes are counted, and only the first few kept");
  FUZZ_CHECK(std::find(frame.skipped.begin(), frame.skipped.end(), kRequestStart) == frame.skipped.end(),
             "a start byte is never skipped");
  switch (frame.verdict) {
    case RequestVerdict::Ok:
    case RequestVerdict::BadChecksum:
      FUZZ_CHECK(f.size() >= kFrameOverhead && f.size() == f[kOffLength] + kFrameOverhead, "a whole frame");
      FUZZ_CHECK(static_cast<uint8_t>(~f[kOffComplement]) == f[kOffAddress], "a whole frame's complement holds");
      FUZZ_CHECK((checksum(f, f.size() - 1) == f.back()) == (frame.verdict == RequestVerdict::Ok),
                 "the verdict is the checksum's");
      break;
    case RequestVerdict::BadComplement:
      FUZZ_CHECK(f.size() == kOffComplement + 1 && static_cast<uint8_t>(~f[kOffComplement]) != f[kOffAddress],
                 "rejected at the complement");
      break;
    case RequestVerdict::BadLength:
      FUZZ_CHECK(f.size() == kOffLength + 1 && f[kOffLength] > RequestParser::kMaxRequestLength,
                 "rejected at the length");
      break;
  }
}

// What the device answers, from a model of its memory: the answer's data, or nullopt for none.
std::optional<std::vector<uint8_t>> modelAnswer(const std::vector<uint8_t>& f, uint8_t address,
                                                std::array<uint8_t, 65536>& memory) {
  if (f[kOffAddress] != address && f[kOffAddress] != 0) return std::nullopt;
  const uint8_t group = f[kOffGroup], code = f[kOffCommand], n = f[kOffLength];
  const auto at = [&](size_t i) { return static_cast<uint16_t>((f[kOffData] << 8 | f[kOffData + 1]) + i); };
  if (group == 0x00 && code == 0x00 && n == 0) return std::vector<uint8_t>{'V', 'R', 'N', '-', '2', '0', '7', 'K'};
  if (group == 0x0F && code == 0x01 && n == 3) {
    std::vector<uint8_t> data(f[kOffData + 2]);
    for (size_t i = 0; i < data.size(); ++i) data[i] = memory[at(i)];
    return data;
  }
  if (group == 0x0A && code == 0x42 && n >= 2) {
    for (size_t i = 0; i + 2 < n; ++i) memory[at(i)] = f[kOffData + 2 + i];
    return std::vector<uint8_t>{};
  }
  return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const uint8_t address = data[0], switches = data[1];
  const uint8_t* stream = data + 3;
  const size_t length = size - 3, cut = std::min<size_t>(data[2], length);

  // A well-behaved instrument, checked frame by frame against the model.
  Instrument plain(address);
  std::array<uint8_t, 65536> memory = defaultMemory();
  RequestParser parser;
  std::vector<std::vector<uint8_t>> expected;
  for (const RequestFrame& frame : parser.feed(stream, length)) {
    checkFrame(frame);
    const InstrumentResponse response = plain.respond(frame);
    const auto answer = frame.verdict == RequestVerdict::Ok ? modelAnswer(frame.bytes, address, memory) : std::nullopt;
    FUZZ_CHECK(answer.has_value() == !response.bytes.empty(), "the instrument answers exactly what is for it");
    if (!answer) continue;
    const std::vector<uint8_t>& a = response.bytes;
    const size_t n = std::min<size_t>(answer->size(), 255);
    FUZZ_CHECK(a.size() == n + kFrameOverhead && a[0] == kResponseStart && a[1] == address &&
                   a[2] == static_cast<uint8_t>(~address) && a[3] == frame.bytes[kOffGroup] &&
                   a[4] == frame.bytes[kOffCommand] && a[5] == n && checksum(a, a.size() - 1) == a.back(),
               "an answer is a whole frame from this instrument, echoing the command");
    FUZZ_CHECK(std::equal(answer->begin(), answer->begin() + n, a.begin() + kOffData), "an answer carries the data");
    expected.push_back(a);
  }
  FUZZ_CHECK(std::equal(memory.begin(), memory.end(), plain.memory().begin()), "memory holds what was written");

  // However the stream is cut into deliveries, the receiver answers the same, faults included.
  const auto configure = [&](Instrument& instrument) {
    Faults& f = instrument.faults();
    f.typePadding = switches & 1 ? 3 : 0;
    f.noiseBytes = switches & 2 ? 5 : 0;
    f.strayStart = switches & 4;
    f.echoWrites = switches & 8;
    f.answerFromAttempt = switches & 16 ? 2 : 1;
    f.oversizeLength = switches & 32 ? 80 : 0;
    if (switches & 64) f.mangleAddress = static_cast<uint16_t>(kSettingsAreaAddress + 7);
    f.badChecksum = switches & 128;
    instrument.setAnswersBroadcast(!(switches & 128));
  };
  Instrument whole(address), pieces(address);
  configure(whole);
  configure(pieces);
  const std::vector<std::vector<uint8_t>> all = whole.receive(stream, length);
  std::vector<std::vector<uint8_t>> parts = pieces.receive(stream, cut);
  const std::vector<std::vector<uint8_t>> rest = pieces.receive(stream + cut, length - cut);
  parts.insert(parts.end(), rest.begin(), rest.end());
  FUZZ_CHECK(all == parts, "answers do not depend on how the stream arrives");
  FUZZ_CHECK(whole.memory() == pieces.memory(), "memory does not depend on how the stream arrives");
  if (switches == 0) FUZZ_CHECK(all == expected, "the receiver frames as its parser does");
  return 0;
}
