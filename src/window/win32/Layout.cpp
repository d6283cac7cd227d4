#include "window/win32/Layout.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "actions/Actions.h"
#include "link/PortMap.h"
#include "netblock/AuthType.h"
#include "window/Placement.h"
#include "window/win32/ControlIds.h"
#include "window/win32/SingleLineEdit.h"
#include "text/Wide.h"

namespace netsetup {

namespace {

using K = ControlKind;
using namespace ids;

constexpr ControlPlace kPlaces[] = {
    {GroupBox1, K::Group, 0, L"Настройки канала связи с прибором", 8, 10, 689, 87},
    {RBSerial, K::Radio, GroupBox1, L"Serial Port", 8, 24, 73, 17},
    {RBIP, K::Radio, GroupBox1, L"TCP/IP", 248, 24, 73, 17},
    {CBBaud, K::List, GroupBox1, L"", 96, 51, 81, 21},
    {CBPort, K::List, GroupBox1, L"", 8, 51, 81, 21},
    {EIP, K::Edit, GroupBox1, L"", 248, 49, 105, 21},
    {EPort, K::Edit, GroupBox1, L"10001", 368, 49, 49, 21},
    {ed_net_addr, K::Edit, GroupBox1, L"1", 546, 48, 75, 21},
    {Label1, K::Label, GroupBox1, L":", 418, 52, 0, 0},
    {Label12, K::Label, GroupBox1, L"Сетевой адрес", 544, 24, 0, 0},

    {GroupBox2, K::Group, 0, L"Подключение к ИВБ по Ethernet", 8, 111, 353, 202},
    {ip_ivb, K::Edit, GroupBox2, L"", 16, 40, 121, 21},
    {cb_DHCP, K::Check, GroupBox2, L"использовать DHCP", 152, 42, 130, 17},
    {ip_mask, K::Edit, GroupBox2, L"", 15, 81, 121, 21},
    {ip_gate, K::Edit, GroupBox2, L"", 15, 123, 121, 21},
    {ip_port, K::Edit, GroupBox2, L"", 16, 166, 121, 21},
    {Label2, K::Label, GroupBox2, L"IP адрес ИВБ", 16, 24, 0, 0},
    {Label3, K::Label, GroupBox2, L"маска подсети", 15, 65, 0, 0},
    {Label4, K::Label, GroupBox2, L"шлюз", 15, 107, 0, 0},
    {Label5, K::Label, GroupBox2, L"порт для подключения", 16, 150, 0, 0},

    {GroupBox3, K::Group, 0, L"Настройки сервера диспетчеризации", 376, 111, 321, 202},
    {srv_addr, K::Edit, GroupBox3, L"", 16, 40, 241, 21},
    {srv_port, K::Edit, GroupBox3, L"", 16, 90, 121, 21},
    {Label6, K::Label, GroupBox3, L"Адрес сервера (DNS-имя)", 18, 24, 0, 0},
    {Label7, K::Label, GroupBox3, L"порт для подключения", 16, 74, 0, 0},

    {GroupBox4, K::Group, 0, L"Настройки для USB-модема", 8, 320, 689, 129},
    {apn_name, K::Edit, GroupBox4, L"", 16, 40, 249, 21},
    {apn_login, K::Edit, GroupBox4, L"", 375, 43, 121, 21},
    {apn_pass, K::Edit, GroupBox4, L"", 375, 88, 121, 21},
    {cb_AuthType, K::EditableList, GroupBox4, L"", 16, 91, 145, 21},
    {Label8, K::Label, GroupBox4, L"АПН точки доступа оператора мобильной связи", 16, 24, 0, 0},
    {Label9, K::Label, GroupBox4, L"Логин", 375, 27, 0, 0},
    {Label10, K::Label, GroupBox4, L"Пароль", 375, 72, 0, 0},
    {Label11, K::Label, GroupBox4, L"Тип авторизации", 16, 74, 0, 0},

    {btn_read, K::Button, 0, L"Прочитать", 224, 464, 75, 25},
    {btn_write, K::Button, 0, L"Записать", 384, 464, 75, 25},
};

const ControlPlace* find(int id) {
  for (const ControlPlace& p : kPlaces) {
    if (p.id == id) return &p;
  }
  return nullptr;
}

struct ClassAndStyle {
  const wchar_t* windowClass;
  DWORD style;
  DWORD exStyle;
};

// WS_GROUP on every control but RBIP keeps the two radio buttons one group, and arrow keys out
// of the others' way.
ClassAndStyle classAndStyle(const ControlPlace& place) {
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
      return {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0};
  }
  return {WC_STATICW, 0, 0};
}

SIZE textSize(HWND window, HFONT font, const wchar_t* text) {
  SIZE size{};
  HDC dc = ::GetDC(window);
  HGDIOBJ old = ::SelectObject(dc, font);
  ::GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(window, dc);
  return size;
}

void addItems(HWND list, const std::vector<std::wstring>& items) {
  for (const std::wstring& item : items) ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
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

void fillLists(HWND window) {
  std::vector<std::wstring> bauds, ports, auth;
  for (int32_t rate : BaudRates) bauds.push_back(std::to_wstring(rate));
  for (unsigned n = 1; n <= PortMap::kPortCount; ++n) ports.push_back(L"COM" + std::to_wstring(n));
  for (std::string_view caption : kAuthTypeCaptions) auth.push_back(toWide(caption));
  addItems(::GetDlgItem(window, ids::CBBaud), bauds);
  addItems(::GetDlgItem(window, ids::CBPort), ports);
  addItems(::GetDlgItem(window, ids::cb_AuthType), auth);
  ::SendMessageW(::GetDlgItem(window, ids::CBPort), CB_SETCURSEL, 0, 0);
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
  return ::CreateFontW(-scale(11), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Microsoft Sans Serif");
}

std::span<const ControlPlace> controlPlaces() { return kPlaces; }

void createControls(HWND window, HFONT font, const Scale& scale) {
  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window, GWLP_HINSTANCE));
  for (const ControlPlace& place : kPlaces) {
    const ControlPlace* group = place.group ? find(place.group) : nullptr;
    const int left = scale(place.left + (group ? group->left : 0));
    const int top = scale(place.top + (group ? group->top : 0));
    int width = scale(place.width), height = scale(place.height);
    if (place.kind == K::Label) {
      // Room for a last glyph drawn past its advance, as some fonts' hinted glyphs are.
      const SIZE text = textSize(window, font, place.text);
      width = text.cx + scale(3);
      height = text.cy;
    }
    // The drop-down part of a list: room for every entry of the longest list.
    const int createdHeight = place.kind == K::List || place.kind == K::EditableList ? height + scale(16 * 14) : height;
    const ClassAndStyle cs = classAndStyle(place);
    HWND control = ::CreateWindowExW(cs.exStyle, cs.windowClass, place.text, WS_CHILD | WS_VISIBLE | cs.style, left, top,
                                     width, createdHeight, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)),
                                     instance, nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    switch (place.kind) {
      case K::List:
        fitClosedHeight(control, height);
        break;
      case K::EditableList: {
        fitClosedHeight(control, height);
        ::SendMessageW(control, CB_LIMITTEXT, 0, 0);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (::GetComboBoxInfo(control, &info) && info.hwndItem) keepSingleLine(info.hwndItem);
        break;
      }
      case K::Edit:
        keepSingleLine(control);
        break;
      default:
        break;
    }
  }
  fillLists(window);

  ::SendMessageW(::GetDlgItem(window, ids::RBSerial), BM_SETCHECK, BST_CHECKED, 0);
  // TCP is chosen only through the settings file; nothing in the window enables it.
  for (int id : {ids::RBIP, ids::EIP, ids::EPort}) ::EnableWindow(::GetDlgItem(window, id), FALSE);
}

}  // namespace netsetup
