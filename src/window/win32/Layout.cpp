#include "window/win32/Layout.h"

#include <commctrl.h>

#include <string>

#include "window/Controls.h"
#include "window/Placement.h"
#include "window/win32/SingleLineEdit.h"
#include "text/Wide.h"

namespace netsetup {

namespace {

using K = ControlKind;

struct ClassAndStyle {
  const wchar_t* windowClass;
  DWORD style;
  DWORD exStyle;
};

// WS_GROUP on every control but RBIP keeps the two radio buttons one group, and arrow keys out
// of the others' way.
ClassAndStyle classAndStyle(const ControlInfo& place) {
  constexpr DWORD focusable = WS_TABSTOP | WS_GROUP;
  switch (place.kind) {
    case K::Group:
      // Transparent: painted after the controls it frames, never over them.
      return {WC_BUTTONW, BS_GROUPBOX, WS_EX_TRANSPARENT};
    case K::Radio:
      return {WC_BUTTONW, BS_AUTORADIOBUTTON | WS_TABSTOP | (place.id == ids::RBSerial ? DWORD{WS_GROUP} : 0), 0};
    case K::Check:
      return {WC_BUTTONW, BS_AUTOCHECKBOX | focusable, 0};
    case K::Button:
      return {WC_BUTTONW, BS_PUSHBUTTON | focusable, 0};
    case K::Edit:
      return {WC_EDITW, ES_AUTOHSCROLL | focusable, WS_EX_CLIENTEDGE};
    case K::List:
      return {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | focusable, 0};
    case K::EditableList:
      return {WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | focusable, 0};
    case K::Label:
      return {WC_STATICW, SS_LEFT | SS_NOPREFIX | WS_GROUP, 0};
  }
  return {WC_STATICW, 0, 0};
}

SIZE textSize(HWND window, HFONT font, const std::wstring& text) {
  SIZE size{};
  HDC dc = ::GetDC(window);
  HGDIOBJ old = ::SelectObject(dc, font);
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(window, dc);
  return size;
}

// A list's height is that of its selection field, which follows the item height; the height it
// is created with is the dropped-down list's. Sets the field so the closed list has `height`.
// The value set is tracked here, since wine reports it back 2 higher than it was set.
void fitClosedHeight(HWND list, int height) {
  LRESULT item = ::SendMessageW(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  for (int attempt = 0; attempt < 4 && item != CB_ERR; ++attempt) {
    RECT r{};
    ::GetWindowRect(list, &r);
    const int difference = height - (r.bottom - r.top);
    if (difference == 0 || item + difference < 1) return;
    item += difference;
    ::SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item);
  }
}

}  // namespace

Scale screenScale() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return Scale{dpi > 0 ? dpi : 96};
}

POINT placeOnMonitor(const RECT& designed) {
  const int width = designed.right - designed.left, height = designed.bottom - designed.top;
  const POINT centre{designed.left + width / 2, designed.top + height / 2};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!::GetMonitorInfoW(::MonitorFromPoint(centre, MONITOR_DEFAULTTONEAREST), &monitor)) {
    return {designed.left, designed.top};
  }
  const RECT& work = monitor.rcWork;
  const ScreenPoint at = placeWindow({designed.left, designed.top, width, height},
                                     {work.left, work.top, work.right - work.left, work.bottom - work.top});
  return {at.left, at.top};
}

HFONT createWindowFont(const Scale& scale) {
  return ::CreateFontW(-scale(kMainFrm.fontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Microsoft Sans Serif");
}

namespace {

void createControl(HWND window, HFONT font, const Scale& scale, const ControlInfo& place) {
  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window, GWLP_HINSTANCE));
  const ControlInfo* group = place.parent == ids::MainFrm ? nullptr : &controlInfo(place.parent);
  const int left = scale(place.left + (group ? group->left : 0));
  const int top = scale(place.top + (group ? group->top : 0));
  int width = scale(place.width), height = scale(place.height);
  const std::wstring text = toWide(place.caption);
  if (place.kind == K::Label) {
    // Room for a last glyph drawn past its advance, as some fonts' hinted glyphs are.
    const SIZE size = textSize(window, font, text);
    width = size.cx + scale(3);
    height = size.cy;
  }
  // The drop-down part of a list: room for every entry of the longest list.
  const bool list = place.kind == K::List || place.kind == K::EditableList;
  const int createdHeight = list ? height + scale(16 * 14) : height;
  const ClassAndStyle cs = classAndStyle(place);
  HWND control = ::CreateWindowExW(cs.exStyle, cs.windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | cs.style, left,
                                   top, width, createdHeight, window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)), instance, nullptr);
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (list) fitClosedHeight(control, height);
  if (place.kind == K::Edit) keepSingleLine(control);
  if (place.kind == K::EditableList) {
    ::SendMessageW(control, CB_LIMITTEXT, 0, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (::GetComboBoxInfo(control, &info) && info.hwndItem) keepSingleLine(info.hwndItem);
  }
  for (const std::string& item : listItems(place.items)) {
    ::SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toWide(item).c_str()));
  }
  if (list) ::SendMessageW(control, CB_SETCURSEL, place.selection, 0);
  if (place.checked) ::SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
  ::EnableWindow(control, place.enabled);
}

// A label no one sees, for a screen reader to read as the name of the control created next.
void createHiddenLabel(HWND window, const char* name) {
  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window, GWLP_HINSTANCE));
  ::CreateWindowExW(0, WC_STATICW, toWide(name).c_str(), WS_CHILD | WS_GROUP | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                    window, nullptr, instance, nullptr);
}

const AccessibleName* namingOf(ControlId id) {
  for (const AccessibleName& row : accessibleNames()) {
    if (row.control == id) return &row;
  }
  return nullptr;
}

bool namesAControl(ControlId label) {
  for (const AccessibleName& row : accessibleNames()) {
    if (row.label == label) return true;
  }
  return false;
}

}  // namespace

// Screen readers name an edit or a list by the static text just before it in the window's order:
// each label is made right before its control, and a hidden one where the name is not the
// label's words.
void createControls(HWND window, HFONT font, const Scale& scale) {
  for (const ControlInfo& place : windowControls()) {
    if (place.kind == K::Label && namesAControl(place.id)) continue;  // made with its control
    if (const AccessibleName* naming = namingOf(place.id)) {
      if (naming->label != ids::MainFrm) createControl(window, font, scale, controlInfo(naming->label));
      if (naming->name) createHiddenLabel(window, naming->name);
    }
    createControl(window, font, scale, place);
  }
}

}  // namespace netsetup
