#include "Driver.h"

namespace netsetup::testing {
namespace {

void setClipboard(const std::wstring& text) {
  HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  memcpy(::GlobalLock(data), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  ::GlobalUnlock(data);
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  ::SetClipboardData(CF_UNICODETEXT, data);
  ::CloseClipboard();
}

TEST(WindowEditing, PasteKeepsTheFirstLineAndTypingDropsControlCharacters) {
  Program p("");
  HWND authEdit = ::FindWindowExW(p.item(ids::cb_AuthType), nullptr, L"Edit", nullptr);
  const struct {
    const wchar_t* pasted;  // nullptr: type `typed` instead
    std::wstring typed, kept;
  } cases[] = {
      {L"dispatch.example.org\n.", L"", L"dispatch.example.org"},
      {L"dispatch.example.org\r\n", L"", L"dispatch.example.org"},
      {L"a\tb\x7F", L"", L"ab"},
      {L"", L"", L""},
      {nullptr, L"a\x7F\t\x1B\r" L"b\x01" L"c", L"c"},  // Ctrl+A selects all, so "c" replaces "ab"
      {nullptr, L"ab\bc", L"ac"},
  };
  for (HWND edit : {p.item(ids::srv_addr), authEdit}) {
    for (const auto& c : cases) {
      ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
      if (c.pasted) {
        setClipboard(c.pasted);
        ::SendMessageW(edit, WM_PASTE, 0, 0);
      }
      for (wchar_t k : c.typed) ::SendMessageW(edit, WM_CHAR, k, 1);
      EXPECT_EQ(p.text(edit), c.kept) << toUtf8(c.pasted ? c.pasted : c.typed);
    }
    // No silent cut at 32,767; a text the program is given is shown as it is.
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    setClipboard(std::wstring(40000, L'a'));
    ::SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(p.text(edit).size(), 40000u);
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"a\nb"));
    EXPECT_EQ(p.text(edit), L"a\nb");
  }
}

}  // namespace
}  // namespace netsetup::testing
