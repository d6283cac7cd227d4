#include <algorithm>
#include <iostream>

#include "Driver.h"
#include "link/Umod07.h"

namespace netsetup::testing {
namespace {

using namespace ids;

// The window class of each kind of control, and its button or list type.
std::pair<const wchar_t*, int> classOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Group: return {L"Button", BS_GROUPBOX};
    case ControlKind::Radio: return {L"Button", BS_AUTORADIOBUTTON};
    case ControlKind::Check: return {L"Button", BS_AUTOCHECKBOX};
    case ControlKind::Button: return {L"Button", BS_PUSHBUTTON};
    case ControlKind::Edit: return {L"Edit", 0};
    case ControlKind::List: return {L"ComboBox", CBS_DROPDOWNLIST};
    case ControlKind::EditableList: return {L"ComboBox", CBS_DROPDOWN};
    case ControlKind::Label: return {L"Static", 0};
  }
  return {L"?", 0};
}

// A list's entries, one a line.
std::wstring entriesOf(HWND list) {
  std::wstring entries;
  for (LRESULT i = 0, n = ::SendMessageW(list, CB_GETCOUNT, 0, 0); i < n; ++i) {
    std::wstring entry(::SendMessageW(list, CB_GETLBTEXTLEN, i, 0) + 1, L'\0');
    entry.resize(::SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry.data())));
    entries += entry + L"\n";
  }
  return entries;
}

std::wstring entriesOf(ListItems items) {
  std::wstring entries;
  for (const std::string& entry : listItems(items)) entries += toWide(entry) + L"\n";
  return entries;
}

// The window as laid out, at the screen density the test runs with.
void checkLayout(int dpi) {
  Program p(nullptr);
  auto s = [dpi](LONG v) { return ::MulDiv(v, dpi, 96); };
  RECT client{};
  ::GetClientRect(p.frame, &client);
  EXPECT_EQ(client.right, s(kMainFrm.width));
  EXPECT_EQ(client.bottom, s(kMainFrm.height));
  // Labels fit the window's font, made here as the program makes it: scaled once.
  HFONT font = ::CreateFontW(-s(kMainFrm.fontHeight), 0, 0, 0, 0, 0, 0, 0, RUSSIAN_CHARSET, OUT_TT_PRECIS, 0, 0, 0, L"Microsoft Sans Serif");
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  for (const ControlInfo& row : windowControls()) {
    SCOPED_TRACE(row.name);
    HWND c = p.item(row.id);
    wchar_t kind[32] = {};
    ::GetClassNameW(c, kind, 32);
    const auto [windowClass, type] = classOf(row.kind);
    EXPECT_EQ(_wcsicmp(kind, windowClass), 0) << toUtf8(kind);
    const LONG style = ::GetWindowLongW(c, GWL_STYLE);
    if (type) {
      EXPECT_EQ(style & (windowClass == std::wstring(L"Button") ? BS_TYPEMASK : 3), type);
    }
    const std::wstring caption = toWide(row.caption);
    if (row.items == ListItems::None) {
      EXPECT_EQ(Program::text(c), caption);
    } else {
      EXPECT_EQ(entriesOf(c), entriesOf(row.items));
    }
    EXPECT_EQ(::IsWindowEnabled(c), row.enabled);
    EXPECT_EQ(p.checked(row.id), row.checked);
    const ControlInfo* group = row.parent == ids::MainFrm ? nullptr : &controlInfo(row.parent);
    RECT r{};
    ::GetWindowRect(c, &r);
    ::MapWindowPoints(nullptr, p.frame, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, s(row.left + (group ? group->left : 0)));
    EXPECT_EQ(r.top, s(row.top + (group ? group->top : 0)));
    SIZE text{};
    ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    EXPECT_EQ(r.right - r.left, row.width ? s(row.width) : text.cx + s(3));
    if (row.height) {
      EXPECT_EQ(r.bottom - r.top, s(row.height));
    }
  }
  ::DeleteObject(::SelectObject(dc, old));
  ::ReleaseDC(nullptr, dc);

  // Designed at 637,223 (scaled), which a 1280x1024 screen cannot hold whole: moved just
  // enough to fit the work area.
  RECT frame{}, work{};
  ::GetWindowRect(p.frame, &frame);
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(frame.left, std::min<LONG>(s(kMainFrm.left), work.right - (frame.right - frame.left)));
  EXPECT_EQ(frame.top, std::min<LONG>(s(kMainFrm.top), work.bottom - (frame.bottom - frame.top)));
  EXPECT_GE(frame.left, work.left);
  EXPECT_GE(frame.top, work.top);
  p.saveScreenshot("window-" + std::to_string(dpi) + "dpi.bmp");
}

TEST(Window, EveryControlAsLaidOut) { checkLayout(96); }

TEST(Window, ScaledOnceForADenseScreen) {
  HKEY desktop;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_ALL_ACCESS, &desktop), 0);
  DWORD dpi = 144;
  ::RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<BYTE*>(&dpi), sizeof dpi);
  checkLayout(144);
  ::RegDeleteValueW(desktop, L"LogPixels");
  ::RegCloseKey(desktop);
}

TEST(Window, FrameListsStatesAndTabOrder) {
  Program p("[#]\r\nPort=16\r\nBaud=6\r\n");  // indexes outside the lists: no selection
  std::cout << "start to window: " << p.startMs << " ms\n";
  EXPECT_EQ(Program::text(p.frame), toWide(kMainFrm.caption));
  const LONG style = ::GetWindowLongW(p.frame, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), WS_CAPTION | WS_SYSMENU);
  for (auto [id, count] : {std::pair{CBPort, 16}, {CBBaud, 6}, {cb_AuthType, 4}}) {
    EXPECT_EQ(::SendMessageW(p.item(id), CB_GETCOUNT, 0, 0), count);
    EXPECT_EQ(p.selection(id), CB_ERR);
  }
  EXPECT_EQ(::SendMessageW(p.item(apn_pass), EM_GETPASSWORDCHAR, 0, 0), 0);

  std::vector<int> order;  // the focusable controls in table order, those disabled left out
  HWND first = ::GetNextDlgTabItem(p.frame, nullptr, FALSE);
  for (HWND c = first; order.size() < 30 && (order.empty() || c != first); c = ::GetNextDlgTabItem(p.frame, c, FALSE)) {
    order.push_back(::GetDlgCtrlID(c));
  }
  EXPECT_EQ(order, (std::vector<int>{RBSerial, CBBaud, CBPort, ed_net_addr, ip_ivb, cb_DHCP, ip_mask, ip_gate, ip_port,
                                     srv_addr, srv_port, apn_name, apn_login, apn_pass, cb_AuthType, btn_read,
                                     btn_write}));
}

// Checking a radio button gives it the group's tab stop and takes it from the others; with TCP
// chosen in the settings file the checked TCP/IP button is disabled, so the enabled one keeps it.
TEST(Window, TabReachesAnEnabledRadioButton) {
  for (const std::string& ini : {std::string("[#]\r\nUseIP=0\r\n"), tcpIni("10001")}) {
    Program p(ini);
    std::vector<int> order;
    HWND first = ::GetNextDlgTabItem(p.frame, nullptr, FALSE);
    for (HWND c = first; order.size() < 30 && (order.empty() || c != first); c = ::GetNextDlgTabItem(p.frame, c, FALSE)) {
      order.push_back(::GetDlgCtrlID(c));
    }
    EXPECT_NE(std::find(order.begin(), order.end(), RBSerial), order.end()) << ini;
    EXPECT_EQ(std::find(order.begin(), order.end(), RBIP), order.end()) << ini;
  }
}

// The system menu's last item shows the build's version and the settings file the window uses.
TEST(Window, AboutInTheSystemMenuShowsTheVersionAndTheSettingsFile) {
  {
    // The menu, read in this process: another process is not shown a window's system menu.
    Tmod07 link;
    TMainFrm own(link, L"netsetup", SettingsLocation{"C:\\nowhere\\netsetup.ini", "C:\\nowhere\\netsetup.ini"});
    ASSERT_TRUE(own.create(::GetModuleHandleW(nullptr), SW_HIDE));
    HMENU menu = ::GetSystemMenu(own.handle(), FALSE);
    const int last = ::GetMenuItemCount(menu) - 1;
    wchar_t item[64] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(last), item, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(item), kAboutItem);
    EXPECT_EQ(::GetMenuItemID(menu, last), kAboutCommand);
  }
  Program p("[#]\r\nPort=1\r\n");
  const std::vector<Box> boxes = p.send(p.frame, WM_SYSCOMMAND, kAboutCommand);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, toWide(std::string(kMainFrm.caption) + "\nnetsetup " NETSETUP_VERSION "\n\nФайл настроек: ") +
                               p.iniPath.wstring());
}

TEST(Window, DhcpRuleMovesExactlyTheThreeAddressFields) {
  Program p(tcpIni().c_str());
  p.setText(ip_ivb, L"1.2.3.4");
  for (bool dhcp : {true, false, true}) {
    p.click(cb_DHCP);
    EXPECT_EQ(p.checked(cb_DHCP), dhcp);
    for (int id : {ip_ivb, ip_mask, ip_gate}) EXPECT_EQ(::IsWindowEnabled(p.item(id)), !dhcp) << id;
    for (const ControlInfo& row : windowControls()) {
      if (row.id != ip_ivb && row.id != ip_mask && row.id != ip_gate) {
        EXPECT_EQ(::IsWindowEnabled(p.item(row.id)), row.enabled) << row.name;
      }
    }
    EXPECT_EQ(p.text(ip_ivb), L"1.2.3.4");
  }
  EXPECT_TRUE(p.click(btn_read).empty());  // the simulator's record has DHCP off
  EXPECT_FALSE(p.checked(cb_DHCP));
  for (int id : {ip_ivb, ip_mask, ip_gate}) EXPECT_TRUE(::IsWindowEnabled(p.item(id))) << id;
  EXPECT_EQ(p.text(ip_ivb), L"192.168.0.10");
}

}  // namespace
}  // namespace netsetup::testing
