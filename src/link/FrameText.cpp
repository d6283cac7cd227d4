#include "link/FrameText.h"

#include "link/DeviceCommands.h"
#include "link/Frame.h"
#include "link/StatusCode.h"
#include "text/Hex.h"
#include "text/Quote.h"

namespace netsetup {

namespace {

std::string hex2(unsigned value) { return hexDigits(value & 0xFF, 2); }

std::string hex4(unsigned value) { return "0x" + hexDigits(value & 0xFFFF, 4); }

std::string quoted(const uint8_t* bytes, size_t count) {
  return "\"" + visibleBytes(std::string_view(reinterpret_cast<const char*>(bytes), count)) + "\"";
}

std::string checksumVerdict(const uint8_t* frame, size_t size) {
  const uint8_t want = frameChecksum(frame, size - 1);
  if (want == frame[size - 1]) return "checksum ok";
  return "checksum BAD (expected " + hex2(want) + ")";
}

}  // namespace

std::string formatHex(const uint8_t* bytes, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    if (i) text += ' ';
    text += hex2(bytes[i]);
  }
  return text;
}

std::string commandName(uint8_t group, uint8_t code) {
  if (group == kGroupIdentify && code == kCodeIdentify) return "identify";
  if (group == kGroupRead && code == kCodeRead) return "read";
  if (group == kGroupWrite && code == kCodeWrite) return "write";
  return "command " + hex2(group) + " " + hex2(code);
}

std::string requestSummary(const uint8_t* f, size_t size) {
  if (size < kFrameOverhead) return "short frame";
  std::string text = "to " + std::to_string(f[kOffAddress]);
  const uint8_t n = f[kOffLength];
  if (size != n + kFrameOverhead) return text + ", frame size does not match its length";
  text += ", " + commandName(f[kOffGroup], f[kOffCommand]);
  const bool memoryCommand = (f[kOffGroup] == kGroupRead || f[kOffGroup] == kGroupWrite) && n >= 2;
  if (memoryCommand) text += " " + hex4(f[kOffData] << 8 | f[kOffData + 1]);
  if (f[kOffGroup] == kGroupRead && n == 3) {
    text += " count " + std::to_string(f[kOffData + 2]);
  } else if (f[kOffGroup] == kGroupWrite && n >= 2) {
    text += " count " + std::to_string(n - 2);
  } else if (n) {
    text += " N=" + std::to_string(n);
  }
  return text + ", " + checksumVerdict(f, size);
}

std::string answerSummary(const uint8_t* f, size_t size) {
  if (size < kFrameOverhead) return "short frame";
  std::string text = "from " + std::to_string(f[kOffAddress]);
  if (static_cast<uint8_t>(~f[kOffComplement]) != f[kOffAddress]) text += ", address complement BAD";
  const size_t n = f[kOffLength];
  text += ", " + commandName(f[kOffGroup], f[kOffCommand]) + " " + std::to_string(n) + " bytes";
  if (n > kMaxResponseData) text += " (over " + std::to_string(kMaxResponseData) + ")";
  if (size != n + kFrameOverhead) return text + ", frame size does not match its length";
  if (f[kOffGroup] == kGroupIdentify && f[kOffCommand] == kCodeIdentify) text += " " + quoted(f + kOffData, n);
  return text + ", " + checksumVerdict(f, size);
}

std::string statusMeaning(int32_t status) {
  switch (status) {
    case StatusOk: return "ok";
    case ErrWrite: return "not all bytes were sent";
    case ErrTimeout: return "no answer in time";
    case ErrLength: return "wrong data length";
    case ErrChecksum: return "bad checksum";
    case ErrAddress: return "bad address complement";
    case ErrPortOpen: return "the serial port did not open";
    case ErrNoSocket: return "no socket";
    case ErrNetInit: return "the socket library did not start";
    case ErrConnect: return "the connection failed";
    case ErrHostAddress: return "the host is not a dotted IPv4 address";
    default: return "status " + std::to_string(status);
  }
}

}  // namespace netsetup
