// The serial port against a fake comm API, to see exactly what is set: wine turns 28800 into
// 38400 and lets a second open through. The fake's transfers fail at once, as on a device gone.
#include <cwchar>
#include <vector>

#include <gtest/gtest.h>

#include "link/win32/PresentPorts.h"
#include "link/win32/SerialPort.h"
#include "support/RealClock.h"
#include "support/Results.h"

namespace netsetup {
namespace {

using Dwords = std::vector<DWORD>;
const HANDLE kPort = reinterpret_cast<HANDLE>(0x5E1), kEvent = reinterpret_cast<HANDLE>(0xE7);
enum class Fail { None, CreateFile, SetupComm, GetCommState, SetCommState, SetCommTimeouts };

// A port found with everything on that a binary frame must not meet, and hardware flow control on.
class FakeComm final : public CommApi {
 public:
  explicit FakeComm(Fail fail) : fail_(fail) {}
  HANDLE createFile(const char*, DWORD access, DWORD share, DWORD creation, DWORD flags) override {
    opened = {access, share, creation, flags};
    return fail_ == Fail::CreateFile ? INVALID_HANDLE_VALUE : kPort;
  }
  BOOL closeHandle(HANDLE handle) override { return closed.push_back(handle), TRUE; }
  HANDLE createEvent() override { return kEvent; }
  BOOL setupComm(HANDLE, DWORD, DWORD) override { return ok(Fail::SetupComm); }
  BOOL getCommState(HANDLE, DCB& d) override {
    d.BaudRate = 1200, d.ByteSize = 7, d.Parity = EVENPARITY, d.StopBits = TWOSTOPBITS;
    d.fParity = d.fOutX = d.fInX = d.fErrorChar = d.fNull = d.fAbortOnError = d.fOutxCtsFlow = TRUE;
    d.fRtsControl = RTS_CONTROL_HANDSHAKE, d.fDtrControl = DTR_CONTROL_ENABLE;
    return ok(Fail::GetCommState);
  }
  BOOL setCommState(HANDLE, DCB& d) override {
    set = {d.BaudRate, d.ByteSize,   d.Parity, d.StopBits,      d.fBinary,      d.fParity,    d.fOutX,
           d.fInX,     d.fErrorChar, d.fNull,  d.fAbortOnError, d.fOutxCtsFlow, d.fRtsControl, d.fDtrControl};
    return ok(Fail::SetCommState);
  }
  BOOL setCommTimeouts(HANDLE, COMMTIMEOUTS& t) override {
    timeouts = {t.ReadIntervalTimeout, t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant,
                t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant};
    return ok(Fail::SetCommTimeouts);
  }
  BOOL purgeComm(HANDLE, DWORD flags) override { return purges.push_back(flags), TRUE; }
  BOOL clearCommError(HANDLE, DWORD& errors, COMSTAT& status) override {
    errors = 0;
    status.cbInQue = waiting;
    return waiting != 0;
  }
  BOOL readFile(HANDLE, void*, DWORD n, OVERLAPPED&) override { return reads.push_back(n), gone(); }
  BOOL writeFile(HANDLE, const void*, DWORD n, OVERLAPPED&) override { return writes.push_back(n), gone(); }
  DWORD waitForSingleObject(HANDLE, DWORD) override { return WAIT_FAILED; }
  BOOL getOverlappedResult(HANDLE, OVERLAPPED&, DWORD&, BOOL) override { return FALSE; }
  BOOL cancelIo(HANDLE) override { return FALSE; }

  DWORD waiting = 0;  // what the driver holds, for ClearCommError
  Dwords opened, set, timeouts, purges, writes, reads;
  std::vector<HANDLE> closed;

 private:
  BOOL ok(Fail step) const { return fail_ != step; }
  static BOOL gone() { return ::SetLastError(ERROR_BAD_COMMAND), FALSE; }
  Fail fail_;
};

// Every row that opens then meets a device gone: one WriteFile a byte, and an empty poll that
// keeps its nominal length rather than spinning.
TEST(SerialPortTest, OpenSetsExactlyWhatTheLineNeeds) {
  const struct {
    const char* name;
    int32_t baud;
    Fail fail;
    bool opens;
  } cases[] = {
      {"9600", 9600, Fail::None, true},
      {"28800", 28800, Fail::None, true},
      {"115200", 115200, Fail::None, true},
      {"queue sizes refused", 9600, Fail::SetupComm, true},  // only advice to the driver
      {"no such port", 9600, Fail::CreateFile, false},
      {"state unreadable", 9600, Fail::GetCommState, false},
      {"settings refused", 9600, Fail::SetCommState, false},
      {"time-outs refused", 9600, Fail::SetCommTimeouts, false},
  };
  for (const auto& c : cases) {
    FakeComm comm(c.fail);
    auto port = testing::valueOrNull(SerialPort::open("\\\\.\\COM5", c.baud, comm));
    ASSERT_EQ(port != nullptr, c.opens) << c.name;
    // Read and write, share mode 0 (exclusive), an existing device, overlapped I/O.
    EXPECT_EQ(comm.opened, (Dwords{GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, FILE_FLAG_OVERLAPPED}));
    if (port) {
      // Rate, 8N1, binary; no parity check, XON/XOFF, error or null replacement, abort on error;
      // CTS, RTS and DTR as found.
      EXPECT_EQ(comm.set, (Dwords{DWORD(c.baud), 8, NOPARITY, ONESTOPBIT, 1, 0, 0, 0, 0, 0, 0, 1,
                                  RTS_CONTROL_HANDSHAKE, DTR_CONTROL_ENABLE}))
          << c.name;
      EXPECT_EQ(comm.timeouts, (Dwords{MAXDWORD, 5, 20, 5, 20}));
      EXPECT_EQ(comm.purges, Dwords{PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR});

      const uint8_t frame[] = {0x55, 0x00, 0xFF};
      EXPECT_EQ(port->send(frame, sizeof frame), 0u);
      EXPECT_EQ(comm.writes, (Dwords{1, 1, 1}));
      uint8_t byte = 0;
      const auto start = testing::Clock::now();
      EXPECT_FALSE(port->readByte(byte));
      EXPECT_GE(testing::msSince(start), 20) << c.name;
    }
    port.reset();
    const std::vector<HANDLE> held = {kPort, kEvent};
    EXPECT_EQ(comm.closed, c.fail == Fail::CreateFile ? std::vector<HANDLE>() : held) << c.name << ": closed once";
  }
}

// A read asks for exactly what the driver holds (under wine a read of more waits out its
// time-out even when the bytes are there), and for one byte when nothing is there yet.
TEST(SerialPortTest, AReadAsksForWhatHasArrived) {
  for (auto [waiting, asked] : {std::pair<DWORD, DWORD>{0, 1}, {5, 5}, {4000, InputBuffer::kSize}}) {
    FakeComm comm(Fail::None);
    comm.waiting = waiting;
    auto port = testing::valueOrNull(SerialPort::open("\\\\.\\COM5", 9600, comm));
    ASSERT_NE(port, nullptr);
    uint8_t byte = 0;
    EXPECT_FALSE(port->readByte(byte));
    EXPECT_EQ(comm.reads, Dwords{asked}) << waiting;
  }
}

RegistryValue stored(DWORD type, const void* bytes, size_t size) {
  const BYTE* first = static_cast<const BYTE*>(bytes);
  return {type, std::vector<BYTE>(first, first + size)};
}
RegistryValue sz(const wchar_t* text, size_t zeros = 1) {  // a driver may store no closing zero
  return stored(REG_SZ, text, (std::wcslen(text) + zeros) * sizeof(wchar_t));
}

struct FakeRegistry final : PortRegistry {
  std::vector<PortDevice> devices;
  std::vector<RegistryValue> map;
  std::vector<PortDevice> portDevices() override { return devices; }
  std::vector<RegistryValue> deviceMap() override { return map; }
};

// Adapters at the default timer and lowered by hand, a built-in port, a printer port, a device
// with no key, and timers stored as something else than a DWORD. An open reads its own port's.
TEST(SerialPortTest, PortsAndTheirAdaptersLatencyTimers) {
  const DWORD t16 = 16, t1 = 1;
  FakeRegistry registry;
  registry.devices = {{L"USB Serial Port (COM3)", sz(L"COM3"), stored(REG_DWORD, &t16, 4)},
                      {L"USB Serial Port (COM4)", sz(L"com4", 0), stored(REG_DWORD, &t1, 4)},
                      {L"Communications Port (COM1)", sz(L"COM1"), std::nullopt},
                      {L"Printer Port (LPT1)", sz(L"LPT1"), stored(REG_DWORD, &t16, 4)},
                      {L"USB-SERIAL CH340 (COM7)", sz(L"COM7"), sz(L"16", 0)},
                      {L"Odd (COM8)", sz(L"COM8"), stored(REG_DWORD, &t16, 2)},
                      {L"No key", std::nullopt, std::nullopt}};
  registry.map = {sz(L"COM1"), sz(L"COM9"), stored(REG_DWORD, &t16, 4)};
  const std::vector<PresentPort> expected = {
      {1, L"Communications Port (COM1)", {}}, {3, L"USB Serial Port (COM3)", 16}, {4, L"USB Serial Port (COM4)", 1},
      {7, L"USB-SERIAL CH340 (COM7)", {}},    {8, L"Odd (COM8)", {}},             {9, L"", {}}};
  EXPECT_EQ(presentSerialPorts(registry), expected);

  for (auto [device, timer] : {std::pair<const char*, std::optional<uint32_t>>{"\\\\.\\COM3", 16},
                               {"COM4", 1}, {"\\\\.\\COM1", {}}, {"\\\\.\\COM5", {}}}) {
    FakeComm comm(Fail::None);
    auto port = testing::valueOrNull(SerialPort::open(device, 9600, comm, registry));
    ASSERT_NE(port, nullptr) << device;
    EXPECT_EQ(port->adapterLatency(), (AdapterLatency{AdapterLatency::LowLatency::NotAsked, timer})) << device;
  }
}

}  // namespace
}  // namespace netsetup
