#include "link/win32/SerialPort.h"

#include <algorithm>

#include "link/win32/PresentPorts.h"
#include "text/ComPortName.h"

namespace netsetup {

Result<std::unique_ptr<SerialLine>, SerialFailure> openSerialPort(const std::string& device, int32_t baud) {
  return SerialPort::open(device, baud, systemCommApi());
}

Result<std::unique_ptr<SerialLine>, SerialFailure> SerialPort::open(const std::string& device, int32_t baud,
                                                                    CommApi& api, PortRegistry& registry) {
  const auto fail = [](SerialFailure::Step step) { return SerialFailure{step, static_cast<int>(::GetLastError())}; };
  if (device.empty() || baud <= 0) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return fail(SerialFailure::Step::Configure);
  }
  // Share mode 0: while we hold the port, no other program can open it.
  const HANDLE handle = api.createFile(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING,
                                       FILE_FLAG_OVERLAPPED);
  if (handle == INVALID_HANDLE_VALUE) return fail(SerialFailure::Step::Open);
  std::unique_ptr<SerialPort> port(new SerialPort(api, handle, registry, comPortNumber(comPortName(device))));
  if (const HANDLE event = api.createEvent()) port->event_.reset({&api, event});
  if (!port->event_ || !port->configure(static_cast<DWORD>(baud))) return fail(SerialFailure::Step::Configure);
  auto line = std::make_unique<SerialLine>(std::move(port));
  line->purge();
  return line;
}

bool SerialPort::configure(DWORD baud) {
  // Only advice to the driver, which may keep queues of its own size; some drivers refuse it.
  api_.setupComm(port(), kQueueSize, kQueueSize);

  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!api_.getCommState(port(), dcb)) return false;
  dcb.BaudRate = baud;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  // Frames are binary: 0x11 and 0x13 are data, not XON/XOFF, and no byte is dropped or replaced.
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  // Otherwise one line error would fail every later transfer until someone clears it.
  dcb.fAbortOnError = FALSE;
  // Hardware flow control (CTS, DSR, DTR, RTS) stays as found.
  if (!api_.setCommState(port(), dcb)) return false;

  COMMTIMEOUTS timeouts = kTimeouts;
  return api_.setCommTimeouts(port(), timeouts);
}

AdapterLatency SerialPort::adapterLatency() const {
  const std::optional<PresentPort> present = presentSerialPort(number_, registry_);
  return {AdapterLatency::LowLatency::NotAsked, present ? present->latencyTimerMs : std::nullopt};
}

size_t SerialPort::purge() {
  DWORD errors = 0;
  COMSTAT status{};
  const DWORD waiting = api_.clearCommError(port(), errors, status) ? status.cbInQue : 0;
  api_.purgeComm(port(), kPurgeAll);
  return waiting;
}

DWORD SerialPort::transfer(bool write, uint8_t* bytes, DWORD count, DWORD waitMs) {
  OVERLAPPED overlapped{};
  overlapped.hEvent = event();
  const BOOL done =
      write ? api_.writeFile(port(), bytes, count, overlapped) : api_.readFile(port(), bytes, count, overlapped);
  if (!done) {
    if (::GetLastError() != ERROR_IO_PENDING) return 0;
    // The bytes and the OVERLAPPED live in the caller's frame and this one: a transfer that
    // overruns is cancelled, and its end is still awaited below.
    if (api_.waitForSingleObject(event(), waitMs) != WAIT_OBJECT_0) api_.cancelIo(port());
  }
  DWORD transferred = 0;
  return api_.getOverlappedResult(port(), overlapped, transferred, TRUE) ? transferred : 0;
}

bool SerialPort::writeByte(uint8_t byte, const Deadline& deadline) {
  return transfer(true, &byte, 1, deadline.remainingMs()) == 1;
}

// Exactly what the driver holds, in one call: a read of more waits out the time-out even when
// the bytes are there (wine does). With nothing there, one byte, which the port's own read
// time-outs (kTimeouts) give up on when `deadline` comes.
size_t SerialPort::read(uint8_t* into, size_t room, const Deadline&) {
  DWORD errors = 0;
  COMSTAT status{};
  const DWORD waiting = api_.clearCommError(port(), errors, status) ? status.cbInQue : 0;
  const DWORD count = static_cast<DWORD>(std::min<size_t>(std::max<DWORD>(waiting, 1), room));
  return room == 0 ? 0 : transfer(false, into, count, kReadWaitMs);
}

}  // namespace netsetup
