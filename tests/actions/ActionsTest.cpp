#include "actions/Actions.h"

#include <gtest/gtest.h>

#include "Instrument.h"
#include "InstrumentTransport.h"
#include "link/Umod07.h"
#include "netblock/NetworkCodec.h"
#include "support/CountingSleeper.h"

namespace netsetup {
namespace {

using Kind = ActionOutcome::Kind;

class Actions : public ::testing::Test {
 protected:
  Instrument instrument;
  InstrumentTransportFactory factory{instrument};
  testing::CountingSleeper sleeper;
  Tmod07 link{factory, sleeper};
  LinkChoice serial;  // COM1 at 9600
  LinkChoice tcp{true, 0, 0, "127.0.0.1", "10001"};

  SettingsArea area() const {
    SettingsArea a{};
    for (size_t i = 0; i < a.size(); ++i) a[i] = instrument.memory()[kSettingsAreaAddress + i];
    return a;
  }
  NetworkFields shown() const { return decodeNetworkSettings(area()); }
};

TEST_F(Actions, ReadShowsTheRecordOverEitherTransport) {
  for (const LinkChoice& choice : {serial, tcp}) {
    ActionOutcome out = readAction(link, choice, "1");
    EXPECT_EQ(out.kind, Kind::Done) << out.text;
    EXPECT_EQ(out.fields, shown());
    EXPECT_EQ(out.fields.ipAddress, "192.168.0.10");
    EXPECT_FALSE(link.IsOpen);
  }
  EXPECT_EQ(factory.lastDevice, PortMap::defaultDevice(1));
  EXPECT_EQ(factory.lastBaud, 9600);
  EXPECT_EQ(factory.lastPort, 10001);
}

TEST_F(Actions, LinkChoiceReachesTheLink) {
  struct Case {
    const char* name;
    LinkChoice choice;
    std::string device;
    int32_t baud;
    uint16_t tcpPort;
  };
  const Case cases[] = {
      {"COM4 at 28800", {false, 3, 2, "", ""}, PortMap::defaultDevice(4), 28800, 0},
      {"no baud selected uses 9600", {false, 0, -1, "", ""}, PortMap::defaultDevice(1), 9600, 0},
      {"TCP port not an integer uses 10001", {true, 0, 0, "127.0.0.1", "abc"}, "", 0, 10001},
      {"TCP port in hex", {true, 0, 0, "127.0.0.1", "x10"}, "", 0, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    factory.lastDevice.clear();
    factory.lastBaud = 0;
    factory.lastPort = 0;
    EXPECT_EQ(readAction(link, c.choice, "1").kind, Kind::Done);
    EXPECT_EQ(factory.lastDevice, c.device);
    EXPECT_EQ(factory.lastBaud, c.baud);
    EXPECT_EQ(factory.lastPort, c.tcpPort);
  }
}

TEST_F(Actions, FailuresShowTheirMessageAndCloseTheLink) {
  struct Case {
    const char* name;
    LinkChoice choice;
    std::string address;
    std::function<void(Instrument&, InstrumentTransportFactory&)> arrange;
    Kind kind;
    std::string text;
  };
  const auto none = [](Instrument&, InstrumentTransportFactory&) {};
  const Case cases[] = {
      {"port cannot open", serial, "1", [](Instrument&, InstrumentTransportFactory& f) { f.refuseSerial = true; },
       Kind::Message, "Ошибка соединения (1)"},
      {"no port selected", {false, -1, 0, "", ""}, "1", none, Kind::Message, "Ошибка соединения (1)"},
      {"host without a dot", {true, 0, 0, "localhost", "10001"}, "1", none, Kind::Message, "Ошибка соединения (1)"},
      {"connection refused", tcp, "1", [](Instrument&, InstrumentTransportFactory& f) { f.refuseTcp = true; },
       Kind::Message, "Ошибка соединения (1)"},
      {"silent instrument", serial, "1", [](Instrument& i, InstrumentTransportFactory&) { i.faults().silent = true; },
       Kind::Message, "Ошибка определения типа устройства (1)"},
      {"another type", serial, "1", [](Instrument& i, InstrumentTransportFactory&) { i.setTypeString("VRN-207"); },
       Kind::Message, "Ошибка определения типа устройства (2)"},
      {"type in lower case", serial, "1",
       [](Instrument& i, InstrumentTransportFactory&) { i.setTypeString("vrn-207k"); }, Kind::Message,
       "Ошибка определения типа устройства (2)"},
      {"type padded with zeros", serial, "1",
       [](Instrument& i, InstrumentTransportFactory&) { i.faults().typePadding = 2; }, Kind::Message,
       "Ошибка определения типа устройства (2)"},
      {"address not an integer", serial, "1a", none, Kind::Error, "'1a' is not a valid integer value"},
      {"empty address", serial, "", none, Kind::Error, "'' is not a valid integer value"},
      {"address above 255", serial, "257", none, Kind::Error, "The network address '257' is outside 0..255"},
      {"negative address", serial, "-1", none, Kind::Error, "The network address '-1' is outside 0..255"},
      {"huge address text", serial, std::string(15000, 'a'), none, Kind::Error,
       "'" + std::string(40, 'a') + "…' (15000 characters) is not a valid integer value"},
      {"TCP port above 65535", {true, 0, 0, "127.0.0.1", "70000"}, "1", none, Kind::Error,
       "The TCP port '70000' is outside 0..65535"},
      {"third chunk silent", serial, "1",
       [](Instrument& i, InstrumentTransportFactory&) { i.faults().silentFromRead = 3; }, Kind::Message,
       "Ошибка чтения настроек: блок 3 из 5 не прочитан (код 2)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Instrument inst;
    InstrumentTransportFactory f(inst);
    testing::CountingSleeper s;
    Tmod07 l(f, s);
    c.arrange(inst, f);
    ActionOutcome read = readAction(l, c.choice, c.address);
    EXPECT_EQ(read.kind, c.kind);
    EXPECT_EQ(read.text, c.text);
    EXPECT_FALSE(l.IsOpen);
    EXPECT_EQ(read.fields, NetworkFields{});

    // The same failure stops a Write before anything is stored.
    ActionOutcome write = writeAction(l, c.choice, c.address, shown());
    EXPECT_EQ(write.kind, c.kind);
    const std::string& expected = c.text;  // the failing chunk may differ on the second pass
    EXPECT_EQ(write.text.substr(0, write.text.find(':')), expected.substr(0, expected.find(':')));
    EXPECT_EQ(inst.writeRequests(), 0u);
    EXPECT_FALSE(l.IsOpen);
  }
}

TEST(ActionDetails, ALinkThatDoesNotOpenSaysWhyInTheDetails) {
  Tmod07 real;  // the platform's own ports
  real.portMap().set(1, "/nonexistent/ttyUSB9");
  const ActionOutcome out = readAction(real, LinkChoice{}, "1");
  EXPECT_EQ(out.text, "Ошибка соединения (1)");
  // The window's own words are Russian; the system's stay as the system gives them.
  EXPECT_NE(out.details.find("/nonexistent/ttyUSB9"), std::string::npos) << out.details;
  EXPECT_NE(out.details.find(" нет"), std::string::npos) << out.details;
}

TEST_F(Actions, AddressTextPicksTheInstrument) {
  instrument.setAddress(16);
  EXPECT_EQ(readAction(link, serial, "$10").kind, Kind::Done);
  EXPECT_EQ(readAction(link, serial, "0x10").kind, Kind::Done);
  EXPECT_EQ(readAction(link, serial, "1").text, "Ошибка чтения настроек: блок 1 из 5 не прочитан (код 2)");
}

TEST_F(Actions, WriteRefusesBadFieldsBeforeWritingAnything) {
  struct Case {
    const char* name;
    std::function<void(NetworkFields&)> edit;
    const char* error;
  };
  const Case cases[] = {
      {"empty unit port", [](NetworkFields& f) { f.ipPort = ""; }, "'' is not a valid integer value"},
      {"server port abc", [](NetworkFields& f) { f.serverPort = "abc"; }, "'abc' is not a valid integer value"},
      {"port 70000", [](NetworkFields& f) { f.ipPort = "70000"; }, "The unit port '70000' is outside 0..65535"},
      {"bad gateway, DHCP off", [](NetworkFields& f) { f.ipGateway = "1.2.3.400"; }, "gateway"},
      {"long server address", [](NetworkFields& f) { f.serverAddress = std::string(40, 'a'); }, "server address"},
      {"unencodable password", [](NetworkFields& f) { f.apnPassword = "пароль✓"; }, "password"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NetworkFields fields = shown();
    c.edit(fields);
    const auto before = instrument.memory();
    ActionOutcome out = writeAction(link, serial, "1", fields);
    EXPECT_EQ(out.kind, Kind::Error);
    EXPECT_NE(out.text.find(c.error), std::string::npos) << out.text;
    EXPECT_EQ(instrument.memory(), before);
    EXPECT_EQ(instrument.writeRequests(), 0u);
    EXPECT_FALSE(link.IsOpen);
  }
}

TEST_F(Actions, AFailedChunkIsReportedWithWhatWasWritten) {
  struct Case {
    unsigned silentFromWrite;
    const char* text;
  };
  const Case cases[] = {
      {1, "Ошибка записи настроек: блок 1 из 5 отправлен, но не подтверждён (код 2); блоки 2-5 не отправлены"},
      {2, "Ошибка записи настроек: блок 2 из 5 отправлен, но не подтверждён (код 2); блок 1 записан и "
          "подтверждён; блоки 3-5 не отправлены"},
      {4, "Ошибка записи настроек: блок 4 из 5 отправлен, но не подтверждён (код 2); блоки 1-3 записаны и "
          "подтверждены; блок 5 не отправлен"},
      {5, "Ошибка записи настроек: блок 5 из 5 отправлен, но не подтверждён (код 2); блоки 1-4 записаны и "
          "подтверждены"},
  };
  for (const Case& c : cases) {
    Instrument inst;
    InstrumentTransportFactory f(inst);
    testing::CountingSleeper s;
    Tmod07 l(f, s);
    inst.faults().silentFromWrite = c.silentFromWrite;
    NetworkFields fields = decodeNetworkSettings(area());
    fields.apnPassword = "changed";
    ActionOutcome out = writeAction(l, serial, "1", fields);
    EXPECT_EQ(out.kind, Kind::Message);
    EXPECT_EQ(out.text, c.text);
    EXPECT_FALSE(l.IsOpen);
  }
}

}  // namespace
}  // namespace netsetup
