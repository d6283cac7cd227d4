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

// The controller on a fake view, a settings file in a fresh folder and an in-process instrument.
class Controller : public ::testing::Test {
 public:  // the cases set up through it
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
}

TEST_F(Controller, CloseSavesTheControlsAndKeepsTheRestOfTheFile) {
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
  NetworkFields record;
  record.ipAddress = "10.0.0.1";
  NetworkFields dhcp = record;
  dhcp.dhcp = true;
  const auto click = [this](WindowController& w) {
    at(cb_DHCP).checked = !at(cb_DHCP).checked;
    w.cb_DHCPClick();
  };
  const struct {
    const char* name;
    bool checkedBefore;
    std::function<void(WindowController&)> act;
    bool addressesEnabled;
    const char* ipText;
  } cases[] = {
      {"checked by the user", false, click, false, "typed"},
      {"unchecked by the user", true, click, true, "typed"},
      {"a Read with DHCP on", false, [&](WindowController& w) { w.DecodeSettings(dhcp); }, false, ""},
      {"a Read with DHCP off", true, [&](WindowController& w) { w.DecodeSettings(record); }, true, "10.0.0.1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    open();
    at(ip_ivb).text = "typed";
    at(cb_DHCP).checked = c.checkedBefore;
    for (ControlId id : {ip_ivb, ip_mask, ip_gate}) at(id).enabled = !c.checkedBefore;
    c.act(*window);
    EXPECT_EQ(at(cb_DHCP).checked, !c.checkedBefore);
    for (const ControlSpec& spec : windowControls()) {
      const bool address = spec.id == ip_ivb || spec.id == ip_mask || spec.id == ip_gate;
      EXPECT_EQ(at(spec.id).enabled, address ? c.addressesEnabled : spec.enabled) << spec.name;
    }
    EXPECT_EQ(at(ip_ivb).text, c.ipText);
  }
  // A Read that leaves the box as it is runs nothing.
  at(ip_mask).enabled = false;
  window->DecodeSettings(record);
  EXPECT_FALSE(at(ip_mask).enabled);
}

TEST_F(Controller, DecodeAndEncode) {
  const NetworkFields record{false, "10.0.0.1", "255.0.0.0", "10.0.0.254", "10001", "dispatch.example.org",
                             "9000", "internet", "engineer", "Pa55word", 2};
  NetworkFields dhcp = record, noAuth = record, pap = record;
  dhcp.dhcp = true;
  dhcp.ipAddress = dhcp.ipMask = dhcp.ipGateway = "";
  noAuth.authIndex = -1;
  const struct {
    const char* name;
    NetworkFields read;
    const char* typedAuth;  // nullptr: as the Read left the list
    NetworkFields encoded;
  } cases[] = {
      {"as read", record, nullptr, record},
      {"DHCP on leaves the addresses empty", [&] { NetworkFields f = record; f.dhcp = true; return f; }(), nullptr, dhcp},
      {"authentication byte outside the list", [&] { NetworkFields f = record; f.authIndex = 4; return f; }(), nullptr,
       noAuth},
      {"typed text naming an entry", noAuth, "pap", pap},
      {"typed text naming none", record, "xyz", noAuth},
      {"typed text removed", record, "", noAuth},
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
      {"another type", [](Controller& t) { t.instrument.setTypeString("VRN-207KM"); }, false,
       {"busy", "idle", "take in", "message: Ошибка определения типа устройства (2)"}, ""},
      {"no port chosen", [](Controller& t) { t.view.select(CBPort, -1); }, false,
       {"busy", "idle", "take in", "message: Ошибка соединения (1)", "details: No serial port is chosen."}, ""},
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

TEST_F(Controller, TheControlsChooseTheLink) {
  const struct {
    const char* name;
    const char* file;
    SerialDevices devices;
    int port, baud;
    std::string device;
    int32_t rate;
    uint16_t tcpPort;
  } cases[] = {
      {"COM4 at 28800", nullptr, SerialDevices::FromSettingsFile, 3, 2, PortMap::defaultDevice(4), 28800, 0},
      {"no rate chosen", nullptr, SerialDevices::FromSettingsFile, 0, -1, PortMap::defaultDevice(1), 9600, 0},
      {"[Ports] names the device", "[Ports]\r\nCOM2=/dev/x\r\n", SerialDevices::FromSettingsFile, 1, 0, "/dev/x", 9600, 0},
      {"the system's port", "[Ports]\r\nCOM2=/dev/x\r\n", SerialDevices::System, 1, 0, PortMap::defaultDevice(2), 9600,
       0},
      {"TCP from the file", "[#]\r\nUseIP=1\r\nSockIP=127.0.0.1\r\nSockPort=10002\r\n", SerialDevices::System, 0, 0, "",
       0, 10002},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    link.portMap() = PortMap();
    factory.lastDevice.clear();
    factory.lastBaud = factory.lastPort = 0;
    open(c.file, c.devices);
    view.select(CBPort, c.port);
    view.select(CBBaud, c.baud);
    EXPECT_EQ(window->portDevice(c.port), c.tcpPort ? PortMap::defaultDevice(1) : c.device);
    window->btn_readClick();
    EXPECT_EQ(view.log, (Strings{"busy", "idle"}));
    EXPECT_EQ(factory.lastDevice, c.device);
    EXPECT_EQ(factory.lastBaud, c.rate);
    EXPECT_EQ(factory.lastPort, c.tcpPort);
  }
}

const Strings kWrongType{"busy", "idle", "take in", "message: Ошибка определения типа устройства (2)"};

// However it reaches the window while an action runs, a close is carried out once the action has
// ended and its box is answered; the save happens then, not before.
TEST_F(Controller, ACloseDuringAnActionIsCarriedOutAfterItsOutcome) {
  const struct {
    const char* name;
    const char* type;
    const char* closeAt;  // the hook point of a close request; "" for none
    bool gesture;         // Alt+F4 or the close box among the dropped input
    Strings log;
  } cases[] = {
      {"during a Read that succeeds", "VRN-207K", "busy", false, {"busy", "idle", "close"}},
      {"during a Read that fails", "X", "busy", false, {"busy", "idle", "take in", kWrongType[3], "close"}},
      {"waiting in the queue", "X", "take in", false, {"busy", "idle", "take in", kWrongType[3], "close"}},
      {"as a gesture among the input", "X", "", true, {"busy", "idle", "take in", kWrongType[3], "close"}},
      {"while the box is up", "X", "message", false, {"busy", "idle", "take in", kWrongType[3], "close"}},
      {"none", "X", "", false, kWrongType},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    instrument.setTypeString(c.type);
    open();
    view.closeGestureWaiting = c.gesture;
    view.hookAt = c.closeAt;
    view.hook = [this] {
      EXPECT_FALSE(window->FormClose());
      EXPECT_FALSE(std::filesystem::exists(ini)) << "saved during the action";
    };
    if (!*c.closeAt) view.hook = nullptr;
    window->btn_readClick();
    EXPECT_EQ(view.log, c.log);
    EXPECT_FALSE(std::filesystem::exists(ini));
    EXPECT_TRUE(window->FormClose());  // the toolkit's answer to the request
    EXPECT_TRUE(std::filesystem::exists(ini));
  }
}

TEST_F(Controller, OneActionAtATime) {
  const struct {
    const char* name;
    const char* clickAt;
    bool write;
  } cases[] = {
      {"Read clicked during a Read", "busy", false},
      {"Write clicked during a Read", "busy", true},
      {"Read clicked from the box's own loop", "message", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    instrument.setTypeString("X");
    open();
    const unsigned before = instrument.identifyRequests();
    view.hookAt = c.clickAt;
    view.hook = [this, write = c.write] { write ? window->btn_writeClick() : window->btn_readClick(); };
    window->btn_readClick();
    EXPECT_EQ(view.log, kWrongType);
    EXPECT_EQ(instrument.identifyRequests(), before + 1);
    window->btn_readClick();  // once it has ended, the next click is an action again
    EXPECT_EQ(instrument.identifyRequests(), before + 2);
  }
}

}  // namespace
}  // namespace netsetup
