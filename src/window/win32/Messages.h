#pragma once
#include <windows.h>

#include <string>

namespace netsetup {

// The window's two ways of telling the user something: modal, one "OK", owned by `owner`.
class Messages {
 public:
  virtual ~Messages() = default;
  // The actions' message box: no icon.
  virtual void showMessage(HWND owner, const std::wstring& text) = 0;
  // The error box: stop icon; a final full stop is added where the text needs one.
  virtual void showError(HWND owner, const std::wstring& text) = 0;
};

}  // namespace netsetup
