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

Bilingual explainSerialFailure(const std::string& device, const SerialFailure& failure) {
  const std::string port = comPortName(device);
  const DWORD error = static_cast<DWORD>(failure.error);
  const std::string reason = systemMessage(error);
  const bool missing = failure.step == SerialFailure::Step::Open &&
                       (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND);
  const std::vector<PresentPort> present = missing ? presentSerialPorts() : std::vector<PresentPort>();
  return inBoth([&](Language language) {
    if (failure.step != SerialFailure::Step::Open) return linkText(language, LinkText::LineSettingsRefused, {port, reason});
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
      return linkText(language, LinkText::PortHeld, {port, reason});
    }
    if (!missing) return linkText(language, LinkText::CannotOpen, {port, reason});
    std::string text = linkText(language, LinkText::PortMissing, {port});
    if (present.empty()) return text + linkText(language, LinkText::NoComPortAtAll);
    text += linkText(language, LinkText::ComPortsPresent);
    for (const PresentPort& p : present) {
      text += " COM" + std::to_string(p.number) + (p.name.empty() ? "" : " (" + toUtf8(p.name) + ")") + ",";
    }
    text.back() = '.';
    return text;
  });
}

std::optional<PortInUse> portInUse(const std::string&, const SerialFailure& failure) {
  const DWORD error = static_cast<DWORD>(failure.error);
  const bool held = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
  if (failure.step != SerialFailure::Step::Open || !held) return std::nullopt;
  return PortInUse{};  // Windows does not say who holds a COM port
}

Bilingual explainTcpFailure(const Ipv4Octets& address, uint16_t port, const SocketFailure& failure) {
  if (failure.status == ErrNetInit) return inBoth([](Language l) { return linkText(l, LinkText::SocketLibrary); });
  const int error = failure.error;
  TcpFailure kind = TcpFailure::Other;
  if (error == 0 || error == WSAETIMEDOUT) kind = TcpFailure::TimedOut;
  if (error == WSAECONNREFUSED) kind = TcpFailure::Refused;
  if (error == WSAEHOSTUNREACH || error == WSAENETUNREACH) kind = TcpFailure::Unreachable;
  return tcpFailureText(address, port, kind, error ? systemMessage(static_cast<DWORD>(error)) : "");
}

}  // namespace netsetup
