// The channel Tmod07 on a line that answers with the fuzz input: the three device commands, a
// bare ReceiveFrame, and the chunked read and write of the settings area, with a trace attached.
//
// Input: byte 0 sets the line up (bits 0-1 retries, 0 = the usual 5; bit 2 TCP; bit 3 the
// transport switched after opening; bit 4 sends come up short; bits 5-6 one to four commands);
// then five bytes per command (kind, network address, count, memory address high and low);
// then the line's bytes, where 0xF5 0x00 is a 0xF5 and 0xF5 N is N silent polls.
#include <algorithm>
#include <array>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzLine.h"
#include "cli/console/Trace.h"
#include "link/Frame.h"
#include "link/FrameText.h"
#include "link/StatusCode.h"
#include "link/Umod07.h"
#include "netblock/SettingsTransfer.h"

using namespace netsetup;

namespace {

constexpr uint8_t kEscape = 0xF5;
constexpr uint8_t kCanary = 0xC5;
// An unanswered wait for a first byte: 400 ms in 20 ms polls, counted as the link counts them.
constexpr size_t kPollsPerSilentAttempt = 21;

enum Kind { Identify, Read, Write, Receive, ReadArea, WriteArea, kKinds };

struct Command {
  Kind kind;
  uint8_t address, count;
  uint16_t memory;
};

uint8_t sum(const uint8_t* bytes, size_t count) {
  uint8_t s = 0;
  for (size_t i = 0; i < count; ++i) s = static_cast<uint8_t>(s + bytes[i]);
  return s;
}

// A request as the instrument expects it, built here without the link's own code.
std::vector<uint8_t> request(uint8_t address, uint8_t group, uint8_t code, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> f = {0x55, address, static_cast<uint8_t>(~address), group, code,
                            static_cast<uint8_t>(data.size())};
  f.insert(f.end(), data.begin(), data.end());
  f.push_back(static_cast<uint8_t>(~sum(f.data(), f.size())));
  return f;
}

bool isWholeAnswer(const uint8_t* f, size_t length) {
  return length >= kFrameOverhead && f[0] == 0xAA && static_cast<uint8_t>(~f[2]) == f[1] && f[5] <= 70 &&
         length == f[5] + kFrameOverhead && static_cast<uint8_t>(~sum(f, length - 1)) == f[length - 1];
}

bool isPrintableLine(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

// Sees every frame: checks what the receiver hands on and feeds the trace a person would read.
class Watch final : public LinkObserver {
 public:
  std::vector<std::vector<uint8_t>> answers;  // data of every answer taken as good, in order
  size_t requests = 0;

  void requestSent(const uint8_t* frame, size_t length, uint32_t attempt) override {
    ++requests;
    FUZZ_CHECK(isPrintableLine(requestSummary(frame, length)), "a request summary is one printable line");
    trace_.requestSent(frame, length, attempt);
  }
  void responseEnded(const uint8_t* frame, size_t length, size_t discarded, int32_t status) override {
    // RxBuffer holds exactly the longest answer; a store past it is caught where it happens
    // (the fuzz build checks every subscript), and this is what the receiver reports.
    FUZZ_CHECK(length <= kMaxResponseFrame, "the receiver never holds more than the longest answer");
    FUZZ_CHECK(discarded <= Tmod07::kMaxDiscardedBytes, "the hunt for a start byte gives up");
    if (status == StatusOk) {
      FUZZ_CHECK(isWholeAnswer(frame, length), "an answer taken as good is whole and its checks hold");
      answers.emplace_back(frame + kOffData, frame + length - 1);
    }
    FUZZ_CHECK(isPrintableLine(answerSummary(frame, length)), "an answer summary is one printable line");
    trace_.responseEnded(frame, length, discarded, status);
  }
  std::string traceText() const { return out_.str(); }

 private:
  std::ostringstream out_;
  cli::Trace trace_{out_};
};

void checkSent(const fuzz::LineScript& line, size_t from, const std::vector<uint8_t>& expected) {
  for (size_t i = from; i < line.sent.size(); ++i)
    FUZZ_CHECK(line.sent[i] == expected, "every attempt sends the request exactly");
}

void run(Tmod07& link, fuzz::LineScript& line, Watch& watch, const Command& c) {
  const size_t sentBefore = line.sent.size(), requestsBefore = watch.requests, answersBefore = watch.answers.size();
  const size_t pollsAfterEndBefore = line.pollsAfterEnd;
  size_t receptions = 0;  // waits for an answer this command made

  switch (c.kind) {
    case Identify: {
      const std::string type = link.ReadDeviceType(c.address);
      checkSent(line, sentBefore, request(c.address, 0x00, 0x00, {}));
      if (link.Status != StatusOk) {
        FUZZ_CHECK(type.empty(), "a failed identification gives no text");
      } else {
        const std::vector<uint8_t>& data = watch.answers.back();
        FUZZ_CHECK(type == std::string(data.begin(), data.end()), "the type is the answer's data, zeros included");
      }
      break;
    }
    case Read: {
      std::vector<uint8_t> destination(c.count, kCanary);
      link.ReadMemory(c.address, c.memory, destination.data(), c.count);
      checkSent(line, sentBefore,
                request(c.address, 0x0F, 0x01, {uint8_t(c.memory >> 8), uint8_t(c.memory), c.count}));
      if (link.Status != StatusOk) {
        FUZZ_CHECK(std::all_of(destination.begin(), destination.end(), [](uint8_t b) { return b == kCanary; }),
                   "a failed read leaves the destination untouched");
      } else {
        FUZZ_CHECK(destination == watch.answers.back(), "a read delivers exactly the answer's data");
      }
      break;
    }
    case Write: {
      std::vector<uint8_t> buffer(c.count);
      for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>(c.memory * 7 + i * 13);
      const std::vector<uint8_t> original = buffer;
      link.WriteMemory(c.address, c.memory, buffer.data(), c.count);
      if (c.count > kMaxRequestData - 2) {
        FUZZ_CHECK(link.Status == ErrWrite && line.sent.size() == sentBefore,
                   "a write too long for a frame is not sent");
      }
      std::vector<uint8_t> data = {uint8_t(c.memory >> 8), uint8_t(c.memory)};
      data.insert(data.end(), original.begin(), original.end());
      checkSent(line, sentBefore, request(c.address, 0x0A, 0x42, data));
      if (link.Status != StatusOk) {
        FUZZ_CHECK(buffer == original, "a failed write leaves the buffer untouched");
      } else {
        const std::vector<uint8_t>& answer = watch.answers.back();
        std::vector<uint8_t> expected = original;
        std::copy_n(answer.begin(), std::min(answer.size(), expected.size()), expected.begin());
        FUZZ_CHECK(buffer == expected, "a write's answer is copied over the chunk and never past it");
      }
      break;
    }
    case Receive:
      link.ReceiveFrame();
      receptions = 1;
      break;
    case ReadArea: {
      SettingsArea area;
      for (size_t i = 0; i < area.size(); ++i) area[i] = static_cast<uint8_t>(i * 11 + c.count);
      const SettingsArea original = area;
      const TransferResult result = ReadSettingsArea(link, c.address, area);
      FUZZ_CHECK(result.ok() == (link.Status == StatusOk) && (result.ok() || result.failure().status == link.Status),
                 "the result is the link's");
      if (!result.ok()) {
        FUZZ_CHECK(area == original, "a read that breaks off leaves the area as it was");
        const int failed = result.failure().failedChunk;
        FUZZ_CHECK(failed >= 0 && failed < kChunkCount, "a failed read names its chunk");
      } else {
        FUZZ_CHECK(watch.answers.size() == answersBefore + kChunkCount, "one good answer per chunk");
        for (int k = 0; k < kChunkCount; ++k) {
          const std::vector<uint8_t>& chunk = watch.answers[answersBefore + k];
          FUZZ_CHECK(chunk.size() == kReadChunkSize &&
                         std::equal(chunk.begin(), chunk.end(), area.begin() + k * kReadChunkSize),
                     "the area is the five answers in order");
        }
      }
      break;
    }
    case WriteArea: {
      SettingsArea area;
      for (size_t i = 0; i < area.size(); ++i) area[i] = static_cast<uint8_t>(i * 3 + c.count);
      const SettingsArea original = area;
      const TransferResult result = WriteSettingsArea(link, c.address, area);
      FUZZ_CHECK(result.ok() == (link.Status == StatusOk) && (result.ok() || result.failure().status == link.Status),
                 "the result is the link's");
      // Each chunk goes out as read, whatever the answers to the chunks before it held.
      size_t offset = 0, done = 0;
      const int chunks = result.ok() ? kChunkCount : result.failure().failedChunk + 1;
      for (size_t i = sentBefore; i < line.sent.size(); ++i) {
        const std::vector<uint8_t>& f = line.sent[i];
        const size_t at = static_cast<size_t>(f[kOffData] << 8 | f[kOffData + 1]) - kSettingsAreaAddress;
        while (done < kWriteChunkSizes.size() && at != offset) offset += kWriteChunkSizes[done++];
        FUZZ_CHECK(done < kWriteChunkSizes.size(), "chunks go out in order");
        std::vector<uint8_t> data = {f[kOffData], f[kOffData + 1]};
        data.insert(data.end(), original.begin() + offset, original.begin() + offset + kWriteChunkSizes[done]);
        FUZZ_CHECK(f == request(c.address, 0x0A, 0x42, data), "a chunk goes out as the area held it");
      }
      SettingsArea expected = original;
      offset = 0;
      for (int k = 0; k < chunks; ++k) {
        if (k < kChunkCount && (result.ok() || k < result.failure().failedChunk)) {
          const std::vector<uint8_t>& answer = watch.answers[answersBefore + k];
          std::copy_n(answer.begin(), std::min<size_t>(answer.size(), kWriteChunkSizes[k]), expected.begin() + offset);
        }
        offset += kWriteChunkSizes[k];
      }
      FUZZ_CHECK(area == expected, "answers overwrite only their own chunk; the last five bytes are never touched");
      break;
    }
    case kKinds:
      break;
  }

  static const std::set<int32_t> kOutcomes = {StatusOk,   ErrWrite, ErrTimeout, ErrLength,
                                              ErrChecksum, ErrAddress, ErrNoSocket};
  FUZZ_CHECK(kOutcomes.count(link.Status) == 1, "Status is a known code");
  FUZZ_CHECK(link.IsOpen, "the link stays open");
  // Once the line is silent every wait ends: one unanswered first-byte wait per attempt at most.
  const size_t attempts = std::max(receptions, watch.requests - requestsBefore);
  FUZZ_CHECK(line.pollsAfterEnd - pollsAfterEndBefore <= kPollsPerSilentAttempt * std::max<size_t>(attempts, 1),
             "a silent line ends every wait");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto at = [&](size_t i) -> uint8_t { return i < size ? data[i] : 0; };
  const uint8_t setup = at(0);
  const size_t commandCount = 1 + ((setup >> 5) & 3);
  std::vector<Command> commands;
  for (size_t k = 0; k < commandCount; ++k) {
    const size_t p = 1 + 5 * k;
    commands.push_back({static_cast<Kind>(at(p) % kKinds), at(p + 1), at(p + 2),
                        static_cast<uint16_t>(at(p + 3) << 8 | at(p + 4))});
  }

  auto line = std::make_shared<fuzz::LineScript>();
  for (size_t i = 1 + 5 * commandCount; i < size; ++i) {
    if (data[i] != kEscape || i + 1 == size) {
      line->incoming.emplace_back(data[i]);
    } else if (data[++i] == 0) {
      line->incoming.emplace_back(kEscape);
    } else {
      line->incoming.insert(line->incoming.end(), data[i], std::nullopt);
    }
  }
  line->sendShortBy = (setup & 0x10) ? 1 : 0;

  fuzz::ScriptedTransportFactory factory(line);
  fuzz::NoSleeper sleeper;
  Tmod07 link(factory, sleeper);
  Watch watch;
  link.setObserver(&watch);
  if (setup & 3) FUZZ_CHECK(link.setRetryCount(setup & 3).ok(), "a retry count of 1 to 3 is taken");
  const bool tcp = setup & 4;
  link.SetUseTcp(tcp);
  link.SetHost("192.168.0.10");
  FUZZ_CHECK(link.Open(1, 9600), "the scripted line opens");
  if (setup & 8) link.SetUseTcp(!tcp);  // the other transport than the one opened

  for (const Command& c : commands) run(link, *line, watch, c);

  const std::string trace = watch.traceText();
  FUZZ_CHECK(std::all_of(trace.begin(), trace.end(), [](char ch) { return ch == '\n' || (ch >= 0x20 && ch < 0x7F); }),
             "the trace is printable lines");
  return 0;
}
