#pragma once
#include "window/win32/Messages.h"

namespace netsetup {

// The system's message boxes, captioned with the application title.
class Win32Messages final : public Messages {
 public:
  explicit Win32Messages(std::wstring title) : title_(std::move(title)) {}
  void showMessage(HWND owner, const std::wstring& text) override;
  void showError(HWND owner, const std::wstring& text) override;

 private:
  std::wstring title_;
};

}  // namespace netsetup
