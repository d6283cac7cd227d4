#include "link/Umod07.h"

#include <algorithm>
#include <cstring>

#include "link/DeviceCommands.h"
#include "link/Frame.h"
#include "text/Ipv4Text.h"

namespace netsetup {

namespace {

constexpr uint8_t kMaxWriteCount = kMaxRequestData - 2;

}  // namespace

Tmod07::Tmod07(TransportFactory& factory, Sleeper& sleeper) : factory_(factory), sleeper_(sleeper) {}

Tmod07::~Tmod07() { Close(); }

void Tmod07::SetUseTcp(bool flag) {
  if (flag != useTcp_) std::swap(transport_, otherLine_);
  useTcp_ = flag;
}

void Tmod07::SetHost(const std::string& text) {
  if (holdsDot(text)) Host = text;
}

bool Tmod07::Open(uint8_t portNumber, int32_t baudRate) {
  if (IsOpen) Close();
  otherLine_.reset();  // as the held line is replaced below
  openFailureDetail_ = {};
  portInUse_.reset();
  lateBytes_ = 0;
  timedOutAttempts_ = 0;
  lastAttemptTimedOut_ = false;
  return useTcp_ ? openTcp() : openSerial(portNumber, baudRate);
}

bool Tmod07::openSerial(uint8_t portNumber, int32_t baudRate) {
  const std::string device = portMap_.device(portNumber);
  Result<std::unique_ptr<Transport>, SerialOpenFailure> opened =
      device.empty() ? SerialOpenFailure{inBoth([](Language l) { return linkText(l, LinkText::NoPortChosen); })}
                     : factory_.openSerial(device, baudRate);
  transport_ = opened ? std::move(opened).value() : nullptr;
  if (!opened) {
    openFailureDetail_ = opened.failure().explanation;
    portInUse_ = opened.failure().inUse;
    Status = ErrPortOpen;
    IsOpen = false;
    return false;
  }
  Status = StatusOk;
  IsOpen = true;
  if (observer_) {
    if (const std::optional<AdapterLatency> latency = transport_->adapterLatency()) {
      observer_->serialOpened(device, *latency);
    }
  }
  return true;
}

bool Tmod07::openTcp() {
  Status = StatusOk;
  IsOpen = false;
  if (Host.empty()) {
    openFailureDetail_ = inBoth([](Language l) { return linkText(l, LinkText::NoTcpHost); });
    Status = ErrHostAddress;
    return false;
  }
  const Ipv4Octets address = inetAddr(Host);
  if (address == kIpv4Failure) {
    openFailureDetail_ = inBoth([this](Language l) { return linkText(l, LinkText::TcpHostNotDotted, {Host}); });
    Status = ErrHostAddress;
    return false;
  }
  // After a failed connect the attempt may still hand over its socket; Close disposes of it.
  TcpConnection attempt = factory_.connectTcp(address, TcpPort);
  transport_ = attempt.line ? std::move(attempt.line).value() : std::move(attempt.leftover);
  if (!attempt.line) {
    openFailureDetail_ = attempt.line.failure().explanation;
    Status = attempt.line.failure().status;
    return false;
  }
  IsOpen = true;
  return true;
}

// Closes whatever line is held, of either kind, so switching transports between actions can
// never leave a port or socket behind.
void Tmod07::Close() {
  for (std::unique_ptr<Transport>* line : {&transport_, &otherLine_}) {
    if (*line) (*line)->close();
    line->reset();
  }
  IsOpen = false;
}

void Tmod07::SendFrame(uint8_t length) {
  Status = StatusOk;
  if (useTcp_ && !transport_) {
    Status = ErrNoSocket;
    return;
  }
  size_t sent = 0;
  if (transport_) {
    // Whatever waits now answers an earlier request (an attempt given up as too late, say):
    // taken for this request's answer it would put one block's bytes in the place of another.
    // On TCP too: the stream keeps what came late.
    const size_t dropped = transport_->purge();
    if (lastAttemptTimedOut_) lateBytes_ += dropped;
    sent = transport_->send(TxBuffer.data(), length);
  }
  if (sent != length) Status = ErrWrite;
}

bool Tmod07::stopNow(bool mayStop) {
  // Asked even where the exchange may not stop, so the one who asks hears of a stop at once.
  if (!stopRequested() || !mayStop) return false;
  Status = ErrTimeout;
  stopped_ = true;
  if (observer_) observer_->exchangeStopped();
  return true;
}

namespace {

Result<void> checkedLimit(const char* what, uint32_t value, uint32_t low, uint32_t high, const char* unit,
                          uint32_t& field) {
  if (value < low || value > high) {
    return Failure{std::string("The ") + what + " must be " + std::to_string(low) + " to " + std::to_string(high) +
                       unit + ", not " + std::to_string(value) + ".",
                   ""};
  }
  field = value;
  return {};
}

}  // namespace

Result<void> Tmod07::setRetryCount(uint32_t attempts) {
  return checkedLimit("retry count", attempts, 1, kMaxRetryCount, "", RetryCount);
}

Result<void> Tmod07::setFirstByteTimeoutMs(uint32_t ms) {
  return checkedLimit("first-byte time-out", ms, 1, kMaxTimeoutMs, " ms", FirstByteTimeoutMs);
}

Result<void> Tmod07::setByteTimeoutMs(uint32_t ms) {
  return checkedLimit("byte time-out", ms, 1, kMaxTimeoutMs, " ms", ByteTimeoutMs);
}

ExchangeBudget Tmod07::exchangeBudget() const {
  return {.firstBytePolls = pollsWithin(FirstByteTimeoutMs),
          .bytePolls = pollsWithin(ByteTimeoutMs),
          .pauseMs = pauseSleeps(FirstByteTimeoutMs) * kPollSleepMs,
          .attempts = RetryCount};
}

bool Tmod07::pollForByte(uint32_t budgetMs, uint8_t& byte, bool mayStop) {
  const unsigned polls = pollsWithin(budgetMs);
  for (unsigned poll = 1;; ++poll) {
    if (useTcp_ && !transport_) {
      Status = ErrNoSocket;
      return false;
    }
    if (transport_ && transport_->readByte(byte)) {
      ++receivedInExchange_;
      return true;
    }
    if (transport_) {
      transport_->idle(kPollSleepMs, sleeper_);
    } else {
      sleeper_.sleepMs(kPollSleepMs);
    }
    if (poll >= polls) {
      Status = ErrTimeout;
      return false;
    }
    if (stopNow(mayStop)) return false;
  }
}

void Tmod07::ReceiveFrame() { receiveFrame(false); }

void Tmod07::receiveFrame(bool mayStop) {
  size_t discarded = 0;
  const size_t received = receive(discarded, mayStop);
  if (observer_ && !stopped_) observer_->responseEnded(RxBuffer.data(), received, discarded, Status);
}

size_t Tmod07::receive(size_t& discarded, bool mayStop) {
  size_t index = 0;
  size_t expectedLength = kFrameOverhead;
  for (;;) {
    uint8_t byte = 0;
    if (!pollForByte(index == 0 ? FirstByteTimeoutMs : ByteTimeoutMs, byte, mayStop)) return index;
    RxBuffer[index] = byte;
    const ResponseCheck check = checkResponseByte(RxBuffer.data(), index, expectedLength);
    switch (check.step) {
      case ResponseStep::Discard:
        if (++discarded >= kMaxDiscardedBytes) {
          Status = ErrTimeout;
          return 0;
        }
        break;
      case ResponseStep::Continue:
        ++index;
        break;
      case ResponseStep::Complete:
      case ResponseStep::Fail:
        Status = check.status;
        return index + 1;
    }
  }
}

void Tmod07::Exchange(uint8_t address) {
  answeredAddress_.reset();
  stopped_ = false;
  receivedInExchange_ = 0;
  if (TxBuffer[kOffLength] > kMaxRequestData) {  // would not fit one request frame
    Status = ErrWrite;
    return;
  }
  const size_t length = completeRequest(TxBuffer.data(), address);
  // Once a write request is out, the instrument may be storing it: only an answer or the last
  // attempt's failure tells the caller what became of the chunk, so such an exchange runs on.
  const bool mayStop = TxBuffer[kOffGroup] != kGroupWrite;
  for (uint32_t attempt = 1; attempt <= RetryCount; ++attempt) {
    if (stopNow(attempt == 1 || mayStop)) return;
    if (observer_) observer_->requestSent(TxBuffer.data(), length, attempt);
    SendFrame(static_cast<uint8_t>(length));
    receiveFrame(mayStop);
    lastAttemptTimedOut_ = Status == ErrTimeout && !stopped_;
    if (lastAttemptTimedOut_) ++timedOutAttempts_;
    if (Status == StatusOk) {
      answeredAddress_ = RxBuffer[kOffAddress];
      return;
    }
    if (stopped_) return;
    if (attempt < RetryCount) {
      for (unsigned k = 0; k < pauseSleeps(FirstByteTimeoutMs); ++k) {
        if (stopNow(mayStop)) return;
        sleeper_.sleepMs(kPollSleepMs);
      }
    }
  }
}

size_t Tmod07::settle() {
  size_t arrived = 0;
  if (!transport_) return 0;
  for (unsigned poll = 0; poll < pollsWithin(FirstByteTimeoutMs); ++poll) {
    uint8_t byte = 0;
    if (transport_->readByte(byte)) {
      ++arrived;
      continue;
    }
    transport_->idle(kPollSleepMs, sleeper_);
  }
  lateBytes_ += arrived;
  return arrived;
}

bool Tmod07::commandSucceeded(uint8_t address) {
  Exchange(address);
  return Status == StatusOk;
}

std::string Tmod07::ReadDeviceType(uint8_t address) {
  TxBuffer[kOffGroup] = kGroupIdentify;
  TxBuffer[kOffCommand] = kCodeIdentify;
  TxBuffer[kOffLength] = 0;
  if (!commandSucceeded(address)) return {};
  return std::string(reinterpret_cast<const char*>(&RxBuffer[kOffData]), RxBuffer[kOffLength]);
}

void Tmod07::ReadMemory(uint8_t address, uint16_t memoryAddress, uint8_t* destination, uint8_t count) {
  TxBuffer[kOffGroup] = kGroupRead;
  TxBuffer[kOffCommand] = kCodeRead;
  TxBuffer[kOffLength] = 3;
  TxBuffer[kOffData] = static_cast<uint8_t>(memoryAddress >> 8);
  TxBuffer[kOffData + 1] = static_cast<uint8_t>(memoryAddress & 0xFF);
  TxBuffer[kOffData + 2] = count;
  if (!commandSucceeded(address)) return;
  // Only an answer of exactly the size asked for is taken: anything else would copy stale or
  // foreign bytes into a buffer that a later write sends back to the instrument.
  if (RxBuffer[kOffLength] != count) {
    Status = ErrLength;
    return;
  }
  if (count > 0) std::memcpy(destination, &RxBuffer[kOffData], count);
}

void Tmod07::WriteMemory(uint8_t address, uint16_t memoryAddress, uint8_t* buffer, uint8_t count) {
  if (count > kMaxWriteCount) {  // would not fit one request frame
    Status = ErrWrite;
    return;
  }
  TxBuffer[kOffGroup] = kGroupWrite;
  TxBuffer[kOffCommand] = kCodeWrite;
  TxBuffer[kOffLength] = static_cast<uint8_t>(count + 2);
  TxBuffer[kOffData] = static_cast<uint8_t>(memoryAddress >> 8);
  TxBuffer[kOffData + 1] = static_cast<uint8_t>(memoryAddress & 0xFF);
  if (count > 0) std::memcpy(&TxBuffer[kOffData + 2], buffer, count);
  if (!commandSucceeded(address)) return;
  // The answer is copied back over the chunk, but never past it: the bytes after the chunk
  // have not been sent yet and must go out as they were read.
  const size_t copied = std::min<size_t>(RxBuffer[kOffLength], count);
  if (copied > 0) std::memcpy(buffer, &RxBuffer[kOffData], copied);
}

}  // namespace netsetup
