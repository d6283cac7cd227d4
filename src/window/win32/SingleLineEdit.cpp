#include "window/win32/SingleLineEdit.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "text/SingleLine.h"

namespace netsetup {

namespace {

constexpr UINT_PTR kSubclassId = 1;

std::optional<std::u16string> clipboardText(HWND owner) {
  if (!::OpenClipboard(owner)) return std::nullopt;
  std::optional<std::u16string> text;
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* units = static_cast<const char16_t*>(::GlobalLock(data))) {
      // The data is terminated, but its block may be larger than the text.
      const size_t limit = ::GlobalSize(data) / sizeof(char16_t);
      size_t length = 0;
      while (length < limit && units[length] != 0) ++length;
      text.emplace(units, length);
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

void pasteFirstLine(HWND edit) {
  const std::optional<std::u16string> pasted = clipboardText(edit);
  if (!pasted) return;
  const std::optional<EditedText> kept = keepSingleLine(u"", *pasted, pasted->size());
  const std::u16string& insert = kept ? kept->text : *pasted;
  const std::wstring text(insert.begin(), insert.end());
  ::SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

// The control's own commands arrive as control characters: backspace, and Ctrl+C, V, X, Z.
bool isEditingCommand(WPARAM c) { return c == VK_BACK || c == 0x03 || c == 0x16 || c == 0x18 || c == 0x1A; }

LRESULT CALLBACK singleLineProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_CHAR:
      if (wParam == 0x01) {  // Ctrl+A: select all, which older versions of the control lack
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        return 0;
      }
      if (!isEditingCommand(wParam) && isControlCharacter(static_cast<char32_t>(wParam))) return 0;
      break;
    case WM_PASTE:
      pasteFirstLine(edit);
      return 0;
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(edit, singleLineProc, kSubclassId);
      break;
    default:
      break;
  }
  return ::DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

void keepSingleLine(HWND edit) {
  ::SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
  ::SetWindowSubclass(edit, singleLineProc, kSubclassId, 0);
}

}  // namespace netsetup
