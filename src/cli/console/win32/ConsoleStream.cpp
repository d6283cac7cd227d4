#include "cli/console/win32/ConsoleStream.h"

#include "text/Utf8.h"
#include "text/Wide.h"

namespace netsetup::cli {

namespace {

// Enough for a line or two: held text goes out at a line's end, or when this much is held.
constexpr size_t kHeldMost = 4096;

DWORD writeConsole(HANDLE handle, std::wstring_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    if (!::WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
      return ::GetLastError();
    }
    text.remove_prefix(written);
  }
  return 0;
}

DWORD writeFile(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
      return ::GetLastError();
    }
    if (written == 0) return ERROR_WRITE_FAULT;
    bytes.remove_prefix(written);
  }
  return 0;
}

bool isConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

}  // namespace

ConsoleStream::ConsoleStream(HANDLE handle)
    : ConsoleStream(
          isConsole(handle), [handle](std::wstring_view text) { return writeConsole(handle, text); },
          [handle](std::string_view bytes) {
            return handle == nullptr || handle == INVALID_HANDLE_VALUE ? DWORD{ERROR_INVALID_HANDLE}
                                                                       : writeFile(handle, bytes);
          }) {}

ConsoleStream::int_type ConsoleStream::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char ch = traits_type::to_char_type(c);
  xsputn(&ch, 1);
  return error_ ? traits_type::eof() : c;
}

std::streamsize ConsoleStream::xsputn(const char* text, std::streamsize count) {
  held_.append(text, static_cast<size_t>(count));
  if (held_.size() >= kHeldMost || held_.find('\n') != std::string::npos) write(false);
  return error_ ? 0 : count;
}

int ConsoleStream::sync() {
  write(false);
  return error_ ? -1 : 0;
}

void ConsoleStream::write(bool all) {
  const size_t whole = all ? held_.size() : completeUtf8Prefix(held_);
  if (whole == 0 || error_) return;
  const std::string_view out(held_.data(), whole);
  error_ = console_ ? wide_(toWide(out)) : bytes_(out);
  held_.erase(0, whole);
}

BOOL onConsoleEvent(DWORD type, std::atomic<unsigned>& interrupts) {
  if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT) {
    ++interrupts;
    return TRUE;
  }
  return FALSE;  // the system's own handling ends the process
}

}  // namespace netsetup::cli
