#include "link/win32/OpenDiagnosis.h"

#include "link/FailureText.h"
#include "link/PlatformLines.h"
#include "link/StatusCode.h"
#include "link/win32/PresentPorts.h"
#include "text/Wide.h"

namespace netsetup {

std::string systemMessage(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = length ? std::wstring(buffer, length) : L"error " + std::to_wstring(error);
  if (buffer) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'.')) text.pop_back();
  return toUtf8(text);
}

std::string explainSerialFailure(const std::string& device, const SerialFailure& failure) {
  const std::string port = comPortName(device);
  const DWORD error = static_cast<DWORD>(failure.error);
  const std::string reason = systemMessage(error);
  if (failure.step != SerialFailure::Step::Open) {
    return port + " did not accept the line settings (" + reason + "): it may not be a serial port.";
  }
  if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
    return port + " is in use by another program (" + reason + "). Close it and try again.";
  }
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
    std::string text = port + " does not exist on this computer.";
    const std::vector<PresentPort> present = presentSerialPorts();
    if (present.empty()) return text + " There is no COM port at all: plug the adapter in and try again.";
    text += " COM ports present now:";
    for (const PresentPort& p : present) {
      text += " COM" + std::to_string(p.number) + (p.name.empty() ? "" : " (" + toUtf8(p.name) + ")") + ",";
    }
    text.back() = '.';
    return text;
  }
  return "Cannot open " + port + ": " + reason + ".";
}

std::optional<PortInUse> portInUse(const std::string&, const SerialFailure& failure) {
  const DWORD error = static_cast<DWORD>(failure.error);
  const bool held = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
  if (failure.step != SerialFailure::Step::Open || !held) return std::nullopt;
  return PortInUse{};  // Windows does not say who holds a COM port
}

std::string explainTcpFailure(const Ipv4Octets& address, uint16_t port, const SocketFailure& failure) {
  if (failure.status == ErrNetInit) return "The Windows socket library could not be started.";
  const int error = failure.error;
  TcpFailure kind = TcpFailure::Other;
  if (error == 0 || error == WSAETIMEDOUT) kind = TcpFailure::TimedOut;
  if (error == WSAECONNREFUSED) kind = TcpFailure::Refused;
  if (error == WSAEHOSTUNREACH || error == WSAENETUNREACH) kind = TcpFailure::Unreachable;
  return tcpFailureText(address, port, kind, error ? systemMessage(static_cast<DWORD>(error)) : "");
}

}  // namespace netsetup
