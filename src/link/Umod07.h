#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "link/ExchangeBudget.h"
#include "link/Frame.h"
#include "link/LinkObserver.h"
#include "link/PortMap.h"
#include "link/Sleeper.h"
#include "link/StatusCode.h"
#include "link/TcpPort.h"
#include "link/Transport.h"
#include "link/TransportFactory.h"
#include "text/Result.h"

namespace netsetup {

// The one channel to the instrument: opens a serial port or a TCP connection, frames requests,
// receives and checks responses under poll-counted time-outs, retries, and offers the three
// device commands. Reports every outcome through Status; never throws.
class Tmod07 {
 public:
  Tmod07();  // real serial ports, sockets and sleeps
  Tmod07(TransportFactory& factory, Sleeper& sleeper);
  ~Tmod07();
  Tmod07(const Tmod07&) = delete;
  Tmod07& operator=(const Tmod07&) = delete;

  // Which line the next Open opens. A line still held of the other kind is kept out of every
  // exchange until the choice comes back, and Close disposes of it all the same.
  void SetUseTcp(bool flag);
  void SetHost(const std::string& text);  // kept only when it contains a "."
  void SetTcpPort(uint16_t port) { TcpPort = port; }

  bool Open(uint8_t portNumber, int32_t baudRate);
  void Close();

  void SendFrame(uint8_t length);
  void ReceiveFrame();
  void Exchange(uint8_t address);

  // Device commands. Results only when Status is 0; otherwise outputs stay untouched.
  std::string ReadDeviceType(uint8_t address);  // the type string's bytes, zeros included
  void ReadMemory(uint8_t address, uint16_t memoryAddress, uint8_t* destination, uint8_t count);
  void WriteMemory(uint8_t address, uint16_t memoryAddress, uint8_t* buffer, uint8_t count);

  PortMap& portMap() { return portMap_; }
  const PortMap& portMap() const { return portMap_; }

  // A trace of every frame (null: none). The observer must outlive its use.
  void setObserver(LinkObserver* observer) { observer_ = observer; }

  // What says "stop now" (Ctrl+C in the CLI); none by default. It is asked before each attempt
  // of an exchange and between polls and pauses; a request that stores nothing stops there. A
  // write request, once sent, runs its attempts to the end (its chunk ends confirmed or failed
  // as usual, never cut off while the instrument may be storing it); the check is asked all the
  // same, so whoever answers it can say at once what the stop will do.
  void setStopCheck(std::function<bool()> check) { stopCheck_ = std::move(check); }
  bool stopRequested() const { return stopCheck_ && stopCheck_(); }
  // Whether the last exchange ended because a stop was asked for: Status is then ErrTimeout,
  // no result was taken, and a write request was not sent at all.
  bool stopped() const { return stopped_; }

  // Bytes that came after an attempt was given up as timed out, found since the last Open: the
  // instrument answers more slowly than the first-byte time-out waits. Such bytes are dropped
  // before the next request, but an answer later still could be taken for the next one.
  size_t lateBytes() const { return lateBytes_; }
  // Bytes that arrived during the last exchange, noise and broken frames included: whether
  // anything at all answered it.
  size_t receivedInLastExchange() const { return receivedInExchange_; }
  // Attempts since the last Open that ended waiting in vain.
  unsigned timedOutAttempts() const { return timedOutAttempts_; }
  // Waits one first-byte time-out for answers still on their way to attempts given up,
  // dropping them and counting them as late; how many came.
  size_t settle();

  // Why the last Open failed, in the operating system's words and with what to do about it, in
  // `language`; empty when it did not fail there or nothing more is known.
  const std::string& openFailureDetail(Language language) const { return openFailureDetail_.in(language); }
  // When the last Open failed because another program holds the serial port: that, with the
  // programs where the system names them.
  const std::optional<PortInUse>& portInUse() const { return portInUse_; }

  // The address the last exchange's answer came from (its address byte); nullopt when the last
  // exchange got no valid answer. A request to address 0 is answered by whoever hears it.
  std::optional<uint8_t> answeredAddress() const { return answeredAddress_; }

  // A hunt for the start byte gives up after this many discarded bytes in one attempt, so a
  // line that chatters without ever framing a response cannot hold the caller for ever.
  static constexpr unsigned kMaxDiscardedBytes = 256;
  static constexpr unsigned kPollSleepMs = netsetup::kPollSleepMs;

  // How far an exchange may go. Each setter refuses a value that makes no sense and keeps the
  // one it had: at least one attempt, and budgets of at least a millisecond; nothing beyond
  // what a person would wait for.
  static constexpr uint32_t kMaxRetryCount = 100;
  static constexpr uint32_t kMaxTimeoutMs = 60000;
  Result<void> setRetryCount(uint32_t attempts);
  Result<void> setFirstByteTimeoutMs(uint32_t ms);  // also sets the pause between attempts
  Result<void> setByteTimeoutMs(uint32_t ms);
  uint32_t retryCount() const { return RetryCount; }
  uint32_t firstByteTimeoutMs() const { return FirstByteTimeoutMs; }
  uint32_t byteTimeoutMs() const { return ByteTimeoutMs; }

  // The polls, pause and attempts an exchange is allowed with the limits set now.
  ExchangeBudget exchangeBudget() const;

  bool IsOpen = false;
  int32_t Status = StatusOk;
  std::string Host;
  uint16_t TcpPort = kDefaultTcpPort;
  // Each holds one frame, the largest there can be: SendFrame and Exchange take the request
  // from TxBuffer, ReceiveFrame leaves the answer in RxBuffer.
  std::array<uint8_t, kMaxResponseFrame> RxBuffer{};
  std::array<uint8_t, kMaxRequestFrame> TxBuffer{};

 private:
  uint32_t ByteTimeoutMs = 50;
  uint32_t FirstByteTimeoutMs = 400;
  uint32_t RetryCount = 5;

  bool openSerial(uint8_t portNumber, int32_t baudRate);
  bool openTcp();
  // One byte within `budgetMs` counted in polls; false when none came, no socket exists or
  // (with `mayStop`) a stop was asked for.
  bool pollForByte(uint32_t budgetMs, uint8_t& byte, bool mayStop);
  // Asks the stop check; when a stop is asked for and `mayStop`, ends the exchange as stopped
  // and returns true.
  bool stopNow(bool mayStop);
  bool commandSucceeded(uint8_t address);
  void receiveFrame(bool mayStop);
  // Receives one response into RxBuffer, setting Status; returns how many bytes it holds.
  size_t receive(size_t& discarded, bool mayStop);

  std::unique_ptr<TransportFactory> ownedFactory_;
  std::unique_ptr<Sleeper> ownedSleeper_;
  TransportFactory& factory_;
  Sleeper& sleeper_;
  bool useTcp_ = false;
  std::unique_ptr<Transport> transport_;  // always a line of the kind useTcp_ names
  std::unique_ptr<Transport> otherLine_;  // one of the other kind, opened before the choice changed
  PortMap portMap_;
  LinkObserver* observer_ = nullptr;
  Bilingual openFailureDetail_;
  std::optional<PortInUse> portInUse_;
  size_t lateBytes_ = 0;
  size_t receivedInExchange_ = 0;
  unsigned timedOutAttempts_ = 0;
  bool lastAttemptTimedOut_ = false;
  std::optional<uint8_t> answeredAddress_;
  std::function<bool()> stopCheck_;
  bool stopped_ = false;
};

}  // namespace netsetup
