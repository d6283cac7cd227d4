#include <algorithm>
#include <iostream>

#include "Driver.h"

namespace netsetup::testing {
namespace {

using namespace ids;

struct Row {
  int id;
  const wchar_t* kind;  // the class, and the button or list type
  int type;
  int group;
  const wchar_t* text;
  RECT place;  // left, top, width, height relative to the group; labels size to their text
  BOOL enabled;
};

constexpr int kBox = BS_GROUPBOX, kRadio = BS_AUTORADIOBUTTON, kCheck = BS_AUTOCHECKBOX, kPush = BS_PUSHBUTTON;
constexpr int kList = CBS_DROPDOWNLIST, kEditable = CBS_DROPDOWN;

// The key controls of each kind; the window's frame is the parent of all.
const Row kControls[] = {
    {GroupBox1, L"Button", kBox, 0, L"Настройки канала связи с прибором", {8, 10, 689, 87}, true},
    {RBSerial, L"Button", kRadio, GroupBox1, L"Serial Port", {8, 24, 73, 17}, true},
    {RBIP, L"Button", kRadio, GroupBox1, L"TCP/IP", {248, 24, 73, 17}, false},
    {CBBaud, L"ComboBox", kList, GroupBox1, L"9600", {96, 51, 81, 21}, true},
    {CBPort, L"ComboBox", kList, GroupBox1, L"COM1", {8, 51, 81, 21}, true},
    {EIP, L"Edit", 0, GroupBox1, L"", {248, 49, 105, 21}, false},
    {EPort, L"Edit", 0, GroupBox1, L"10001", {368, 49, 49, 21}, false},
    {ed_net_addr, L"Edit", 0, GroupBox1, L"1", {546, 48, 75, 21}, true},
    {Label12, L"Static", 0, GroupBox1, L"Сетевой адрес", {544, 24, 0, 0}, true},
    {GroupBox2, L"Button", kBox, 0, L"Подключение к ИВБ по Ethernet", {8, 111, 353, 202}, true},
    {ip_ivb, L"Edit", 0, GroupBox2, L"", {16, 40, 121, 21}, true},
    {cb_DHCP, L"Button", kCheck, GroupBox2, L"использовать DHCP", {152, 42, 130, 17}, true},
    {GroupBox3, L"Button", kBox, 0, L"Настройки сервера диспетчеризации", {376, 111, 321, 202}, true},
    {srv_addr, L"Edit", 0, GroupBox3, L"", {16, 40, 241, 21}, true},
    {GroupBox4, L"Button", kBox, 0, L"Настройки для USB-модема", {8, 320, 689, 129}, true},
    {apn_pass, L"Edit", 0, GroupBox4, L"", {375, 88, 121, 21}, true},
    {cb_AuthType, L"ComboBox", kEditable, GroupBox4, L"", {16, 91, 145, 21}, true},
    {Label8, L"Static", 0, GroupBox4, L"АПН точки доступа оператора мобильной связи", {16, 24, 0, 0}, true},
    {btn_read, L"Button", kPush, 0, L"Прочитать", {224, 464, 75, 25}, true},
    {btn_write, L"Button", kPush, 0, L"Записать", {384, 464, 75, 25}, true},
};

// The window as laid out, at the screen density the test runs with.
void checkLayout(int dpi) {
  Program p(nullptr);
  auto s = [dpi](LONG v) { return ::MulDiv(v, dpi, 96); };
  RECT client{};
  ::GetClientRect(p.frame, &client);
  EXPECT_EQ(client.right, s(700));
  EXPECT_EQ(client.bottom, s(502));
  // Labels fit the window's font, made here as the program makes it: scaled once.
  HFONT font = ::CreateFontW(-s(11), 0, 0, 0, 0, 0, 0, 0, RUSSIAN_CHARSET, OUT_TT_PRECIS, 0, 0, 0, L"Microsoft Sans Serif");
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  for (const Row& row : kControls) {
    SCOPED_TRACE(row.id);
    HWND c = p.item(row.id);
    wchar_t kind[32] = {};
    ::GetClassNameW(c, kind, 32);
    EXPECT_EQ(_wcsicmp(kind, row.kind), 0) << toUtf8(kind);
    const LONG style = ::GetWindowLongW(c, GWL_STYLE);
    if (row.type) {
      EXPECT_EQ(style & (row.kind == std::wstring(L"Button") ? BS_TYPEMASK : 3), row.type);
    }
    EXPECT_EQ(Program::text(c), row.text);
    EXPECT_EQ(::IsWindowEnabled(c), row.enabled);
    RECT group{}, r{};
    for (const Row& g : kControls) group = g.id == row.group ? g.place : group;
    ::GetWindowRect(c, &r);
    ::MapWindowPoints(nullptr, p.frame, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, s(group.left + row.place.left));
    EXPECT_EQ(r.top, s(group.top + row.place.top));
    SIZE text{};
    ::GetTextExtentPoint32W(dc, row.text, static_cast<int>(wcslen(row.text)), &text);
    EXPECT_EQ(r.right - r.left, row.place.right ? s(row.place.right) : text.cx + s(3));
    if (row.place.bottom) {
      EXPECT_EQ(r.bottom - r.top, s(row.place.bottom));
    }
  }
  ::DeleteObject(::SelectObject(dc, old));
  ::ReleaseDC(nullptr, dc);

  // Designed at 637,223 (scaled), which a 1280x1024 screen cannot hold whole: moved just
  // enough to fit the work area.
  RECT frame{}, work{};
  ::GetWindowRect(p.frame, &frame);
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(frame.left, std::min<LONG>(s(637), work.right - (frame.right - frame.left)));
  EXPECT_EQ(frame.top, std::min<LONG>(s(223), work.bottom - (frame.bottom - frame.top)));
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
  EXPECT_EQ(Program::text(p.frame), L"Настройка сети VRN-207K");
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

TEST(Window, DhcpRuleMovesExactlyTheThreeAddressFields) {
  Program p(tcpIni().c_str());
  p.setText(ip_ivb, L"1.2.3.4");
  for (bool dhcp : {true, false, true}) {
    p.click(cb_DHCP);
    EXPECT_EQ(p.checked(cb_DHCP), dhcp);
    for (int id : {ip_ivb, ip_mask, ip_gate}) EXPECT_EQ(::IsWindowEnabled(p.item(id)), !dhcp) << id;
    for (const Row& row : kControls) {
      if (row.id != ip_ivb) {
        EXPECT_EQ(::IsWindowEnabled(p.item(row.id)), row.enabled) << row.id;
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
