#include "Driver.h"

namespace netsetup::testing {
namespace {

using namespace ids;

void expectSimulatorRecord(const Program& p, const std::wstring& serverPort = L"9000") {
  const std::pair<int, const wchar_t*> fields[] = {
      {ip_ivb, L"192.168.0.10"}, {ip_mask, L"255.255.255.0"}, {ip_gate, L"192.168.0.1"}, {ip_port, L"10001"},
      {srv_addr, L"dispatch.example.org"}, {apn_name, L"internet"}, {cb_AuthType, L"PAP"}, {apn_login, L"engineer"},
      {apn_pass, L"Pa55word"}};
  for (auto [id, text] : fields) EXPECT_EQ(p.text(id), text) << id;
  EXPECT_EQ(p.text(srv_port), serverPort);
  EXPECT_FALSE(p.checked(cb_DHCP));
}

TEST(WindowActions, ReadShowsTheInstrumentsRecordOverTcpAndCom5) {
  const std::pair<const char*, std::string> links[] = {{"tcp", tcpIni()},
                                                       {"com5", "[#]\r\nUseIP=0\r\nPort=4\r\nBaud=5\r\n"}};
  for (const auto& [name, ini] : links) {
    SCOPED_TRACE(name);
    Program p(ini);
    EXPECT_TRUE(p.click(btn_read).empty());
    expectSimulatorRecord(p);
    p.saveScreenshot(std::string("window-after-read-") + name + ".bmp");
  }
}

TEST(WindowActions, WriteStoresTheEditsAndASecondReadShowsThem) {
  Program p(tcpIni());
  ASSERT_TRUE(p.click(btn_read).empty());
  for (const wchar_t* port : {L"6000", L"9000"}) {  // the second puts the simulator's record back
    p.setText(srv_port, port);
    EXPECT_TRUE(p.click(btn_write).empty());
    p.setText(srv_port, L"");
    EXPECT_TRUE(p.click(btn_read).empty());
    expectSimulatorRecord(p, port);
  }
}

TEST(WindowActions, OutcomesShowTheirBoxes) {
  OtherInstrument other("VRN-207KM");
  const struct {
    const char* name;
    std::string port;
    const wchar_t* exe;
    const wchar_t* address;
    Box box;
  } cases[] = {
      {"another type", other.port, L"netsetup.exe", L"1", {L"netsetup", L"Ошибка определения типа устройства (2)", false}},
      {"bad address", "", L"NETSETUP.EXE", L"abc", {L"Netsetup", L"'abc' is not a valid integer value.", true}},
      // A box has no details part: what the system said follows the message.
      {"no listener", "1", L"NetSetup.v2.exe", L"1",
       {L"Netsetup",
        L"Ошибка соединения (1)\n\n127.0.0.1:1 отклонил соединение: на этом порту там никто не принимает соединений. "
        L"Проверьте адрес и порт и что преобразователь включён.",
        false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Program p(tcpIni(c.port).c_str(), c.exe);
    p.setText(ed_net_addr, c.address);
    const std::vector<Box> boxes = p.click(btn_read);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, c.box.caption);
    EXPECT_EQ(boxes[0].text, c.box.text);
    EXPECT_EQ(boxes[0].icon, c.box.icon);
    EXPECT_EQ(p.text(srv_addr), L"");
  }
}

// However the close is asked for while an action runs (by another program, the system menu,
// Alt+F4, the caption's close box), it is carried out with the usual save once the action's
// message is answered.
TEST(WindowActions, ACloseDuringAnActionIsCarriedOutAfterItsMessage) {
  constexpr LPARAM kAlt = 1 | (1 << 29);  // a repeat count of 1 and the Alt key held
  constexpr LPARAM kUp = static_cast<LPARAM>(0xC0000000u);  // a key released
  struct Posted {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  const struct {
    const char* name;
    std::vector<Posted> input;  // posted to the window while the action runs
  } cases[] = {
      {"WM_CLOSE", {{WM_CLOSE, 0, 0}}},
      {"system menu", {{WM_SYSCOMMAND, SC_CLOSE, 0}}},
      {"Alt+F4", {{WM_SYSKEYDOWN, VK_MENU, kAlt}, {WM_SYSKEYDOWN, VK_F4, kAlt}, {WM_SYSKEYUP, VK_F4, kAlt | kUp},
                  {WM_KEYUP, VK_MENU, 1 | kUp}}},
      {"close box", {{WM_NCLBUTTONDOWN, HTCLOSE, 0}, {WM_NCLBUTTONUP, HTCLOSE, 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OtherInstrument silent("");
    Program p(tcpIni(silent.port));
    const std::vector<Box> boxes = p.click(btn_read, [&] {
      waitFor([&] { return silent.connected.load(); });
      for (const Posted& m : c.input) ::PostMessageW(p.frame, m.message, m.wParam, m.lParam);
    });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Ошибка определения типа устройства (1)");
    EXPECT_TRUE(waitFor([&] { return !p.running(); }));
    // The file held only the TCP keys; the save adds the port and baud indexes.
    EXPECT_NE(readText(p.iniPath).find("\r\nPort=0\r\n"), std::string::npos);
  }
}

// Keys as the keyboard delivers them, to the control with the focus: Enter clicks a focused
// push button; in an edit, Enter and Esc do nothing.
TEST(WindowActions, EnterOnAFocusedButtonReadsButNotInAnEdit) {
  Program p(tcpIni());
  const struct {
    int target;
    WPARAM key;
    bool reads;
  } cases[] = {{btn_read, VK_RETURN, true}, {ed_net_addr, VK_RETURN, false}, {ed_net_addr, VK_ESCAPE, false}};
  for (const auto& c : cases) {
    p.setText(srv_addr, L"");
    ::SendMessageW(p.item(CBBaud), CB_SETCURSEL, 0, 0);
    ::PostMessageW(p.item(c.target), WM_KEYDOWN, c.key, 1);
    ::PostMessageW(p.item(CBBaud), CB_SETCURSEL, 1, 0);  // handled after the key, and after a Read it starts
    EXPECT_TRUE(waitFor([&] { return p.selection(CBBaud) == 1; }));
    EXPECT_EQ(p.text(srv_addr), c.reads ? L"dispatch.example.org" : L"") << c.target << " " << c.key;
    EXPECT_TRUE(p.running());
  }
}

}  // namespace
}  // namespace netsetup::testing
