#include "link/win32/SerialPort.h"

#include <chrono>

#include "link/Deadline.h"

namespace netsetup {

std::unique_ptr<SerialPort> SerialPort::open(const std::string& device, int32_t baud, CommApi& api,
                                             Failure* failure) {
  auto fail = [failure](bool opened) -> std::unique_ptr<SerialPort> {
    if (failure) *failure = {opened, ::GetLastError()};
    return nullptr;
  };
  if (device.empty() || baud <= 0) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return fail(true);
  }
  // Share mode 0: while we hold the port, no other program can open it.
  const HANDLE handle = api.createFile(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING,
                                       FILE_FLAG_OVERLAPPED);
  if (handle == INVALID_HANDLE_VALUE) return fail(false);
  std::unique_ptr<SerialPort> port(new SerialPort(api, handle));
  port->event_ = api.createEvent();
  if (port->event_ == nullptr || !port->configure(static_cast<DWORD>(baud))) return fail(true);
  port->purge();
  return port;
}

bool SerialPort::configure(DWORD baud) {
  // Only advice to the driver, which may keep queues of its own size; some drivers refuse it.
  api_.setupComm(handle_, kQueueSize, kQueueSize);

  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!api_.getCommState(handle_, dcb)) return false;
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
  if (!api_.setCommState(handle_, dcb)) return false;

  COMMTIMEOUTS timeouts = kTimeouts;
  return api_.setCommTimeouts(handle_, timeouts);
}

SerialPort::~SerialPort() { close(); }

void SerialPort::purge() {
  if (handle_ != INVALID_HANDLE_VALUE) api_.purgeComm(handle_, kPurgeAll);
}

bool SerialPort::transferOne(bool write, uint8_t& byte, DWORD waitMs) {
  OVERLAPPED overlapped{};
  overlapped.hEvent = event_;
  const BOOL done = write ? api_.writeFile(handle_, &byte, 1, overlapped) : api_.readFile(handle_, &byte, 1, overlapped);
  if (!done) {
    if (::GetLastError() != ERROR_IO_PENDING) return false;
    // The byte and the OVERLAPPED live in this frame: a transfer that overruns is cancelled,
    // and its end is still awaited below.
    if (api_.waitForSingleObject(event_, waitMs) != WAIT_OBJECT_0) api_.cancelIo(handle_);
  }
  DWORD transferred = 0;
  return api_.getOverlappedResult(handle_, overlapped, transferred, TRUE) && transferred == 1;
}

size_t SerialPort::send(const uint8_t* bytes, size_t count) {
  if (handle_ == INVALID_HANDLE_VALUE) return 0;
  size_t sent = 0;
  bool lineMoves = true;
  for (size_t i = 0; i < count; ++i) {
    uint8_t byte = bytes[i];
    // Once a byte could not leave within its bound, later ones get no wait of their own.
    if (transferOne(true, byte, lineMoves ? kWriteTimeoutMs : 0)) {
      ++sent;
    } else {
      lineMoves = false;
    }
  }
  return sent;
}

bool SerialPort::readByte(uint8_t& byte) {
  if (handle_ == INVALID_HANDLE_VALUE) return false;
  const Deadline deadline(systemClock(), std::chrono::milliseconds(kReadTimeoutMs));
  if (transferOne(false, byte, kReadWaitMs)) return true;
  // A port whose device has gone fails at once; keep the poll's nominal length anyway, so the
  // caller's time-outs mean the same and it does not spin.
  systemClock().sleepUntil(deadline.end());
  return false;
}

void SerialPort::close() {
  if (handle_ != INVALID_HANDLE_VALUE) {
    api_.closeHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
  if (event_ != nullptr) {
    api_.closeHandle(event_);
    event_ = nullptr;
  }
}

}  // namespace netsetup
