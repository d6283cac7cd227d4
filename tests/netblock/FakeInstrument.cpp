#include "FakeInstrument.h"

#include "link/Frame.h"
#include "link/StatusCode.h"

namespace netsetup::fake {
namespace {

constexpr uint8_t kGroupRead = 0x0F;
constexpr uint8_t kGroupWrite = 0x0A;

}  // namespace

void FakeInstrument::receive(const uint8_t* frame, size_t length) {
  if (length < kFrameOverhead || frame[kOffStart] != kRequestStart) return;
  const uint8_t n = frame[kOffLength];
  const uint8_t* data = frame + kOffData;
  const auto memoryAddress = static_cast<uint16_t>((data[0] << 8) | data[1]);
  const uint8_t count = frame[kOffGroup] == kGroupRead ? data[2] : static_cast<uint8_t>(n - 2);
  requests.push_back({frame[kOffAddress], frame[kOffGroup], memoryAddress, count});
  if (requests.size() > silentFrom) return;

  std::vector<uint8_t> answer = {kResponseStart, frame[kOffAddress], static_cast<uint8_t>(~frame[kOffAddress]),
                                 frame[kOffGroup], frame[kOffCommand], 0};
  if (frame[kOffGroup] == kGroupRead) {
    for (size_t i = 0; i < count; ++i) answer.push_back(memory[(memoryAddress + i) & 0xFFFF]);
  } else if (frame[kOffGroup] == kGroupWrite) {
    for (size_t i = 0; i < count; ++i) memory[(memoryAddress + i) & 0xFFFF] = data[2 + i];
    answer.insert(answer.end(), writeAnswerLength, 0xEE);
  }
  answer[kOffLength] = static_cast<uint8_t>(answer.size() - kOffData);
  answer.push_back(frameChecksum(answer.data(), answer.size()));
  pending.insert(pending.end(), answer.begin(), answer.end());
}

std::vector<FakeInstrument::Request> FakeInstrument::distinctRequests() const {
  std::vector<Request> out;
  for (const Request& r : requests) {
    if (out.empty() || !(out.back() == r)) out.push_back(r);
  }
  return out;
}

size_t FakeSerialLine::send(const uint8_t* bytes, size_t count) {
  instrument_.receive(bytes, count);
  return count;
}

bool FakeSerialLine::readByte(uint8_t& byte) {
  if (instrument_.pending.empty()) return false;
  byte = instrument_.pending.front();
  instrument_.pending.pop_front();
  return true;
}

std::unique_ptr<Transport> FakeFactory::openSerial(const std::string&, int32_t) {
  return std::make_unique<FakeSerialLine>(instrument_);
}

TcpConnectResult FakeFactory::connectTcp(const Ipv4Octets&, uint16_t) { return {ErrConnect, nullptr}; }

}  // namespace netsetup::fake
