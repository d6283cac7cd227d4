#pragma once
// Drives netsetup.exe from outside, as a user's input would: a fresh copy in a folder of its own
// with a settings file, its window found by class and process, its controls by ID.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "window/Controls.h"
#include "window/win32/Main.h"
#include "text/Wide.h"

namespace netsetup::testing {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

inline std::string readText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
  for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
    if (done()) return true;
    std::this_thread::sleep_for(5ms);
  }
  return done();
}

// The link keys for TCP to 127.0.0.1:port; by default the simulator's ("tcp 127.0.0.1:PORT").
inline std::string tcpIni(std::string port = "") {
  if (port.empty()) {
    const std::string endpoints = readText(NETSETUP_SIM_DIR "/endpoints");
    const size_t at = endpoints.find("tcp 127.0.0.1:") + 14;
    port = endpoints.substr(at, endpoints.find('\n', at) - at);
  }
  return "[#]\r\nUseIP=1\r\nSockIP=127.0.0.1\r\nSockPort=" + port + "\r\n";
}

struct Box {
  std::wstring caption, text;
  bool icon = false;
};

class Program {
 public:
  // `ini` nullptr: no settings file.
  explicit Program(const char* ini, const wchar_t* exeName = L"netsetup.exe") {
    static std::atomic<int> serial{0};
    folder = fs::temp_directory_path() / ("netsetup-ui-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                          std::to_string(serial++));
    fs::create_directories(folder);
    fs::copy_file(fs::path(toWide(NETSETUP_EXE)), folder / exeName);
    iniPath = folder / fs::path(exeName).replace_extension(L".ini");
    if (ini) std::ofstream(iniPath, std::ios::binary) << ini;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + (folder / exeName).wstring() + L"\"";
    const auto started = std::chrono::steady_clock::now();
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                          &process_)) {
      ADD_FAILURE() << "CreateProcessW: " << ::GetLastError();
      return;
    }
    EXPECT_TRUE(waitFor([this] { return (frame = find(kWindowClass)) != nullptr; }, 20s));
    startMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
  }
  explicit Program(const std::string& ini) : Program(ini.c_str()) {}

  ~Program() {
    if (process_.hProcess && running()) ::TerminateProcess(process_.hProcess, 1);
    ::WaitForSingleObject(process_.hProcess, 5000);
    ::CloseHandle(process_.hProcess);
    ::CloseHandle(process_.hThread);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }

  bool running() const { return ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
  HWND item(int id) const { return ::GetDlgItem(frame, id); }
  static std::wstring text(HWND control) {
    std::wstring text(::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0) + 1, L'\0');
    text.resize(::SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    return text;
  }
  std::wstring text(int id) const { return text(item(id)); }
  void setText(int id, const std::wstring& text) {
    ::SendMessageW(item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  bool checked(int id) const { return ::SendMessageW(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  LRESULT selection(int id) const { return ::SendMessageW(item(id), CB_GETCURSEL, 0, 0); }

  // Clicks a button and waits until the program has handled the click. Message boxes shown
  // meanwhile are read and answered with OK, as a user would.
  std::vector<Box> click(int id, const std::function<void()>& meanwhile = {}) {
    return send(item(id), BM_CLICK, 0, meanwhile);
  }

  // Sends `to` a message and waits until the program has handled it, answering boxes as above.
  std::vector<Box> send(HWND to, UINT message, WPARAM wParam, const std::function<void()>& meanwhile = {}) {
    auto handled = std::async(std::launch::async, [=] { ::SendMessageW(to, message, wParam, 0); });
    if (meanwhile) meanwhile();
    return answerBoxesUntil([&] { return handled.wait_for(0s) == std::future_status::ready; });
  }

  // Asks the window to close; answers boxes until the program ends, or a box was answered and
  // the program stays.
  std::vector<Box> close() {
    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    std::vector<Box> boxes;
    answerBoxesUntil([&] { return !running() || (!boxes.empty() && !waitFor([&] { return !running(); }, 300ms)); },
                     &boxes);
    return boxes;
  }

  // The client area, moved fully on screen, as a BMP file in NETSETUP_ARTIFACTS.
  void saveScreenshot(const std::string& name) {
    ::SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    std::this_thread::sleep_for(300ms);  // its repaint
    RECT client{};
    ::GetClientRect(frame, &client);
    POINT origin{0, 0};
    ::ClientToScreen(frame, &origin);
    BITMAPINFOHEADER info{sizeof info, client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const DWORD size = client.right * client.bottom * 4;
    BITMAPFILEHEADER file{0x4D42, sizeof file + sizeof info + size, 0, 0, sizeof file + sizeof info};
    HDC screen = ::GetDC(nullptr), memory = ::CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP shot = ::CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, shot);
    ::BitBlt(memory, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
    for (DWORD i = 3; i < size; i += 4) static_cast<BYTE*>(bits)[i] = 0xFF;  // opaque, for viewers that read alpha
    const fs::path dir(L"Z:" + toWide(std::getenv("NETSETUP_ARTIFACTS") ? std::getenv("NETSETUP_ARTIFACTS") : "/tmp"));
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(&file), sizeof file)
        .write(reinterpret_cast<const char*>(&info), sizeof info)
        .write(static_cast<const char*>(bits), size);
    ::DeleteObject(::SelectObject(memory, old));
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
  }

  fs::path folder, iniPath;
  HWND frame = nullptr;
  double startMs = 0;

 private:
  HWND find(const wchar_t* windowClass) const {
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, windowClass, nullptr));) {
      DWORD process = 0;
      ::GetWindowThreadProcessId(w, &process);
      if (process == process_.dwProcessId && ::IsWindowVisible(w)) return w;
    }
    return nullptr;
  }

  std::vector<Box> answerBoxesUntil(const std::function<bool()>& done, std::vector<Box>* out = nullptr) {
    std::vector<Box> own;
    std::vector<Box>& boxes = out ? *out : own;
    EXPECT_TRUE(waitFor([&] {
      if (HWND box = find(L"#32770")) {
        Box read{text(box), L"", false};
        for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
          if (!::IsWindowVisible(c) || ::SendMessageW(c, WM_GETDLGCODE, 0, 0) != DLGC_STATIC) continue;
          if ((::GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) read.icon = ::SendMessageW(c, STM_GETICON, 0, 0);
          else if (read.text.empty()) read.text = text(c);
        }
        boxes.push_back(read);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        waitFor([&] { return !::IsWindowVisible(box); });
      }
      return done();
    }, 60s)) << "the program did not finish";
    return boxes;
  }

  PROCESS_INFORMATION process_{};
};

// A TCP peer on loopback standing in for an instrument of another type: it answers each
// identification request (55 00 FF 00 00 00 AB) with `type`, or never when `type` is empty.
class OtherInstrument {
 public:
  explicit OtherInstrument(const std::string& type) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
    ::listen(listener_, 4);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port = std::to_string(ntohs(address.sin_port));
    // AA, address, complement, group, command, N, data, NOT of the sum of all before it.
    std::string answer = std::string("\xAA\x00\xFF\x00\x00", 5) + static_cast<char>(type.size()) + type;
    unsigned sum = 0;
    for (char b : answer) sum += static_cast<uint8_t>(b);
    answer += static_cast<char>(~sum);
    thread_ = std::thread([this, answer, silent = type.empty()] {
      for (SOCKET peer; (peer = ::accept(listener_, nullptr, nullptr)) != INVALID_SOCKET; ::closesocket(peer)) {
        connected = true;
        for (char request[7]; ::recv(peer, request, 7, MSG_WAITALL) == 7;) {
          if (!silent) ::send(peer, answer.data(), static_cast<int>(answer.size()), 0);
        }
      }
    });
  }
  ~OtherInstrument() {
    ::closesocket(listener_);  // ends accept()
    thread_.join();
    ::WSACleanup();
  }

  std::string port;
  std::atomic<bool> connected{false};

 private:
  WSADATA winsock_;
  int started_ = ::WSAStartup(MAKEWORD(2, 2), &winsock_);
  SOCKET listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  std::thread thread_;
};

}  // namespace netsetup::testing
