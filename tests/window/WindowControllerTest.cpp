#include "window/WindowController.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "FakeView.h"
#include "Instrument.h"
#include "InstrumentTransport.h"
#include "link/Umod07.h"
#include "support/CountingSleeper.h"
#include "support/TempDir.h"

namespace netsetup {
namespace {

using namespace ids;
using Strings = std::vector<std::string>;

const Strings kWrongType{"busy", "idle", "take in", "message: Ошибка определения типа устройства (2)"};

// The controller on a fake view, a settings file in a fresh folder and an in-process instrument.
struct Controller : ::testing::Test {
  WindowController& open(const char* file = nullptr, SerialDevices devices = SerialDevices::FromSettingsFile) {
    std::filesystem::remove(ini);
    if (file) testing::writeFile(ini, file);
    view = testing::FakeView();
    window = std::make_unique<WindowController>(link, view, view, SettingsLocation{ini, ini}, devices);
    window->FormCreate();
    return *window;
  }
  testing::FakeView::Control& at(ControlId id) { return view.controls.at(id); }

  testing::TempDir dir;
  const std::string ini = dir.file("netsetup.ini");
  Instrument instrument;
  InstrumentTransportFactory factory{instrument};
  testing::CountingSleeper sleeper;
  Tmod07 link{factory, sleeper};
  testing::FakeView view;
  std::unique_ptr<WindowController> window;
};

TEST_F(Controller, LoadRules) {
  const struct {
    const char* name;
    const char* file;  // nullptr: no file at all
    int port, baud;
    bool tcp;
    const char *ip, *tcpPort;
  } cases[] = {
      {"no file", nullptr, 0, 0, false, "", "10001"},
      {"port 3", "[#]\r\nPort=3\r\n", 3, 0, false, "", "10001"},
      {"port 0x3", "[#]\r\nPort=0x3\r\n", 3, 0, false, "", "10001"},
      {"port 16", "[#]\r\nPort=16\r\n", -1, 0, false, "", "10001"},
      {"port -1", "[#]\r\nPort=-1\r\n", -1, 0, false, "", "10001"},
      {"empty port", "[#]\r\nPort=\r\n", 0, 0, false, "", "10001"},
      {"port not a number", "[#]\r\nPort=abc\r\n", 0, 0, false, "", "10001"},
      {"baud 5", "[#]\r\nBaud=5\r\n", 0, 5, false, "", "10001"},
      {"baud 6", "[#]\r\nBaud=6\r\n", 0, -1, false, "", "10001"},
      {"UseIP true reads false", "[#]\r\nUseIP=true\r\n", 0, 0, false, "", "10001"},
      {"UseIP 1", "[#]\r\nUseIP=1\r\nSockIP=127.0.0.1\r\nSockPort=10002\r\n", 0, 0, true, "127.0.0.1", "10002"},
      {"empty SockPort stays empty", "[#]\r\nSockPort=\r\n", 0, 0, false, "", ""},
      {"names ignore case", "[#]\r\nport=2\r\nUSEIP=2\r\n", 2, 0, true, "", "10001"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    open(c.file);
    EXPECT_EQ(at(CBPort).selection, c.port);
    EXPECT_EQ(at(CBBaud).selection, c.baud);
    EXPECT_EQ(at(RBIP).checked, c.tcp);
    EXPECT_EQ(at(RBSerial).checked, !c.tcp);
    EXPECT_EQ(at(EIP).text, c.ip);
    EXPECT_EQ(at(EPort).text, c.tcpPort);
  }
  // The file's [Ports] names the device behind an entry, unless the system's ports are used.
  open("[Ports]\r\nCOM2=/dev/x\r\n");
  EXPECT_EQ(window->portDevice(1), "/dev/x");
  link.portMap() = PortMap();
  open("[Ports]\r\nCOM2=/dev/x\r\n", SerialDevices::System);
  EXPECT_EQ(window->portDevice(1), PortMap::defaultDevice(2));
}

TEST_F(Controller, CloseSavesTheControls) {
  const struct {
    const char* name;
    const char* file;
    std::function<void(testing::FakeView&)> edit;
    const char* saved;
  } cases[] = {
      {"no file", nullptr, {}, "[#]\r\nPort=0\r\nBaud=0\r\nUseIP=0\r\nSockIP=\r\nSockPort=10001\r\n"},
      {"no selection", "[#]\r\nPort=16\r\nBaud=6\r\n", {},
       "[#]\r\nPort=-1\r\nBaud=-1\r\nUseIP=0\r\nSockIP=\r\nSockPort=10001\r\n"},
      {"serial chosen after TCP", "[#]\r\nUseIP=1\r\nSockIP=10.0.0.7\r\n",
       [](testing::FakeView& v) {
         v.controls.at(RBSerial).checked = true;
         v.controls.at(RBIP).checked = false;
       },
       "[#]\r\nUseIP=0\r\nSockIP=10.0.0.7\r\nPort=0\r\nBaud=0\r\nSockPort=10001\r\n"},
      {"everything else kept",
       "; written by hand\r\n[other]\r\nPort=9\r\n\r\n[#]\r\n  port = 3 \r\nbaud=1\r\n; keep me\r\n"
       "UseIP=0\r\nSockIP=\r\nSockPort=10001\r\nExtra=x\r\n[Ports]\r\nCOM2=/dev/ttyS3\r\n",
       [](testing::FakeView& v) { v.select(CBBaud, 4); },
       "; written by hand\r\n[other]\r\nPort=9\r\n\r\n[#]\r\nport=3\r\nbaud=4\r\n; keep me\r\n"
       "UseIP=0\r\nSockIP=\r\nSockPort=10001\r\nExtra=x\r\n[Ports]\r\nCOM2=/dev/ttyS3\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    open(c.file);
    if (c.edit) c.edit(view);
    EXPECT_TRUE(window->FormClose());
    EXPECT_EQ(testing::readFile(ini), c.saved);
    EXPECT_EQ(view.log, Strings{});
  }
}

TEST_F(Controller, ARefusedSaveKeepsTheWindowOnceThenLetsGo) {
  for (const bool closeDuringTheBox : {false, true}) {
    SCOPED_TRACE(closeDuringTheBox ? "closed again while the box is up" : "closed once");
    const char* before = "[#]\r\nPort=2\r\n";
    open(before);
    // A folder where the temporary file goes blocks the save, whoever runs the test.
    std::filesystem::create_directory(ini + ".tmp");
    view.hookAt = "error";
    if (closeDuringTheBox) view.hook = [this] { EXPECT_FALSE(window->FormClose()) << "not the second close"; };
    EXPECT_FALSE(window->FormClose());
    EXPECT_EQ(view.log, Strings{"error: Unable to write to " + ini});
    EXPECT_TRUE(window->FormClose());
    EXPECT_EQ(view.log.size(), 1u);
    EXPECT_EQ(testing::readFile(ini), before);
    std::filesystem::remove(ini + ".tmp");
  }
}

TEST_F(Controller, DhcpRuleMovesExactlyTheThreeAddressFields) {
  NetworkFields off, on;
  off.ipAddress = on.ipAddress = "10.0.0.1";
  on.dhcp = true;
  const struct {
    const char* name;
    bool checkedBefore;
    const NetworkFields* read;  // nullptr: the user clicks the box
    const char* ipText;
  } cases[] = {
      {"checked by the user", false, nullptr, "typed"},
      {"unchecked by the user", true, nullptr, "typed"},
      {"a Read with DHCP on", false, &on, ""},
      {"a Read with DHCP off", true, &off, "10.0.0.1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    open();
    at(ip_ivb).text = "typed";
    at(cb_DHCP).checked = c.checkedBefore;
    for (ControlId id : {ip_ivb, ip_mask, ip_gate}) at(id).enabled = !c.checkedBefore;
    if (c.read) {
      window->DecodeSettings(*c.read);
    } else {
      at(cb_DHCP).checked = !c.checkedBefore;
      window->cb_DHCPClick();
    }
    EXPECT_EQ(at(cb_DHCP).checked, !c.checkedBefore);
    for (const ControlInfo& control : windowControls()) {
      const bool address = control.id == ip_ivb || control.id == ip_mask || control.id == ip_gate;
      EXPECT_EQ(at(control.id).enabled, address ? c.checkedBefore : control.enabled) << control.name;
    }
    EXPECT_EQ(at(ip_ivb).text, c.ipText);
  }
  // A Read that leaves the box as it is runs nothing.
  at(ip_mask).enabled = false;
  window->DecodeSettings(off);
  EXPECT_FALSE(at(ip_mask).enabled);
}

TEST_F(Controller, DecodeAndEncode) {
  const NetworkFields read{false, "10.0.0.1", "255.0.0.0", "10.0.0.254", "10001", "dispatch.example.org",
                           "9000", "internet", "engineer", "Pa55word", 2};
  NetworkFields dhcp = read, noAuth = read, outside = read;
  dhcp.dhcp = true;
  noAuth.authIndex = -1;
  outside.authIndex = 4;
  NetworkFields dhcpShown = dhcp;
  dhcpShown.ipAddress = dhcpShown.ipMask = dhcpShown.ipGateway = "";
  const struct {
    const char* name;
    const NetworkFields& read;
    const char* typedAuth;  // nullptr: as the Read left the list
    const NetworkFields& encoded;
  } cases[] = {
      {"as read", read, nullptr, read},
      {"DHCP on leaves the addresses empty", dhcp, nullptr, dhcpShown},
      {"authentication byte outside the list", outside, nullptr, noAuth},
      {"typed text naming an entry", noAuth, "pap", read},
      {"typed text naming none", read, "xyz", noAuth},
      {"typed text removed", read, "", noAuth},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    open();
    window->DecodeSettings(c.read);
    EXPECT_EQ(at(cb_AuthType).selection, c.read.authIndex == 2 ? 2 : -1);
    if (c.typedAuth) at(cb_AuthType).text = c.typedAuth;
    EXPECT_EQ(window->EncodeSettings(), c.encoded);
  }
}

TEST_F(Controller, OutcomesShowInTheirBoxes) {
  const struct {
    const char* name;
    std::function<void(Controller&)> setUp;
    bool write;
    Strings log;
    const char* serverShown;
  } cases[] = {
      {"a Read", {}, false, {"busy", "idle"}, "dispatch.example.org"},
      {"a Write after a Read", [](Controller& t) { t.window->btn_readClick(); t.view.log.clear(); }, true,
       {"busy", "idle"}, "dispatch.example.org"},
      {"another type", [](Controller& t) { t.instrument.setTypeString("VRN-207KM"); }, false, kWrongType, ""},
      {"no port chosen", [](Controller& t) { t.view.select(CBPort, -1); }, false,
       {"busy", "idle", "take in", "message: Ошибка соединения (1)", "details: Последовательный порт не выбран."}, ""},
      {"an address that is no integer", [](Controller& t) { t.at(ed_net_addr).text = "abc"; }, false,
       {"busy", "idle", "take in", "error: 'abc' is not a valid integer value"}, ""},
      {"a Write before any Read", {}, true, {"busy", "idle", "take in", "error: '' is not a valid integer value"}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    instrument.setTypeString("VRN-207K");
    open();
    if (c.setUp) c.setUp(*this);
    c.write ? window->btn_writeClick() : window->btn_readClick();
    EXPECT_EQ(view.log, c.log);
    EXPECT_EQ(at(srv_addr).text, c.serverShown);
    EXPECT_FALSE(link.IsOpen);
  }
}

// While an action runs, a click starts nothing, and a close, however it reaches the window, is
// carried out (with its save) once the action has ended and its box is answered.
TEST_F(Controller, InputDuringAnAction) {
  enum Input { None, Close, Gesture, Read, Write };
  const Strings closed{"busy", "idle", "take in", kWrongType[3], "close"};
  const struct {
    const char* name;
    const char* type;
    const char* at;  // where the input comes, in the view's log
    Input input;
    Strings log;
  } cases[] = {
      {"close during a Read that succeeds", "VRN-207K", "busy", Close, {"busy", "idle", "close"}},
      {"close during a Read that fails", "X", "busy", Close, closed},
      {"close waiting in the queue", "X", "take in", Close, closed},
      {"Alt+F4 among the dropped input", "X", "take in", Gesture, closed},
      {"close while the box is up", "X", "message", Close, closed},
      {"Read clicked during a Read", "X", "busy", Read, kWrongType},
      {"Write clicked during a Read", "X", "busy", Write, kWrongType},
      {"Read clicked from the box's own loop", "X", "message", Read, kWrongType},
      {"nothing", "X", "", None, kWrongType},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    instrument.setTypeString(c.type);
    open();
    const unsigned identified = instrument.identifyRequests();
    view.closeGestureWaiting = c.input == Gesture;
    view.hookAt = c.at;
    view.hook = [this, input = c.input] {
      if (input == Close) {
        EXPECT_FALSE(window->FormClose());
      }
      if (input == Read) window->btn_readClick();
      if (input == Write) window->btn_writeClick();
    };
    window->btn_readClick();
    EXPECT_EQ(view.log, c.log);
    EXPECT_EQ(instrument.identifyRequests(), identified + 1);
    EXPECT_FALSE(std::filesystem::exists(ini)) << "saved during the action";
    EXPECT_TRUE(window->FormClose());  // as the toolkit asks after "close"
    EXPECT_TRUE(std::filesystem::exists(ini));
  }
}

}  // namespace
}  // namespace netsetup
