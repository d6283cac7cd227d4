#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <functional>

#include "E2eFixture.h"

namespace netsetup {
namespace {

using testing::EndToEnd;

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

// What the window shows, field by field, in one comparable list.
QStringList fieldsOf(const TMainFrm& w) {
  return {w.ip_ivb->text(),   w.ip_mask->text(),   w.ip_gate->text(),  w.ip_port->text(),
          w.srv_addr->text(), w.srv_port->text(),  w.apn_name->text(), w.apn_login->text(),
          w.apn_pass->text(), QString::number(w.cb_AuthType->currentIndex()),
          w.cb_DHCP->isChecked() ? "dhcp" : "static"};
}

const QStringList kSimulatorRecord{"192.168.0.10", "255.255.255.0", "192.168.0.1", "10001",    "dispatch.example.org",
                                   "9000",         "internet",      "engineer",    "Pa55word", "2",
                                   "static"};

TEST_P(EndToEnd, ReadShowsTheInstrumentsRecord) {
  read();
  EXPECT_EQ(messages.shown, QStringList{});
  EXPECT_EQ(fieldsOf(*window), kSimulatorRecord);
  EXPECT_FALSE(link.IsOpen);
  saveShot("after-read");
  read();  // the port was let go: a second action opens it again
  EXPECT_EQ(messages.shown, QStringList{});
}

TEST_P(EndToEnd, WriteWithoutEditsChangesNothing) {
  const InstrumentMemory before = sim->memory();
  read();
  write();
  EXPECT_EQ(messages.shown, QStringList{});
  EXPECT_EQ(sim->memory(), before);
  EXPECT_EQ(sim->with([](Instrument& i) { return i.writeRequests(); }), 5u);
}

TEST_P(EndToEnd, WriteStoresExactlyTheEdits) {
  const InstrumentMemory before = sim->memory();
  read();
  window->ip_ivb->setText("10.0.0.1");
  window->srv_port->setText("$2329");  // 9001
  window->apn_name->setText(u("интернет"));
  window->apn_pass->setText("0123456789ABCDEF");
  window->cb_AuthType->setCurrentIndex(0);
  write();
  ASSERT_EQ(messages.shown, QStringList{});

  InstrumentMemory expected = before;
  const size_t a = kSettingsAreaAddress;
  const uint8_t ip[] = {10, 0, 0, 1};
  std::copy(std::begin(ip), std::end(ip), expected.begin() + a + 6);
  expected[a + 24] = 9001 & 0xFF;
  expected[a + 25] = 9001 >> 8;
  const std::string apn = "\xE8\xED\xF2\xE5\xF0\xED\xE5\xF2";  // "интернет" in Windows-1251
  for (size_t i = 0; i < 32; ++i) expected[a + 75 + i] = i < apn.size() ? static_cast<uint8_t>(apn[i]) : 0;
  for (size_t i = 0; i < 16; ++i) expected[a + 139 + i] = static_cast<uint8_t>("0123456789ABCDEF"[i]);
  expected[a + 74] = 0;
  EXPECT_EQ(sim->memory(), expected);

  window->apn_name->clear();
  read();
  QStringList edited = kSimulatorRecord;
  edited[0] = "10.0.0.1";
  edited[5] = "9001";
  edited[6] = u("интернет");
  edited[8] = "0123456789ABCDEF";
  edited[9] = "0";
  EXPECT_EQ(fieldsOf(*window), edited);
}

TEST_P(EndToEnd, WrongTypeShowsTheMessageAndChangesNoField) {
  sim->with([](Instrument& i) { i.setTypeString("VRN-207KM"); });
  window->ip_ivb->setText("kept");
  const QStringList before = fieldsOf(*window);
  read();
  EXPECT_EQ(messages.shown, QStringList{u("message: Ошибка определения типа устройства (2)")});
  EXPECT_EQ(fieldsOf(*window), before);
  EXPECT_FALSE(link.IsOpen);
}

TEST_P(EndToEnd, WriteBeforeReadWithEmptyPortWritesNothing) {
  write();
  EXPECT_EQ(messages.shown, QStringList{"error: '' is not a valid integer value"});
  EXPECT_EQ(sim->with([](Instrument& i) { return i.identifyRequests(); }), 1u);
  EXPECT_EQ(sim->with([](Instrument& i) { return i.readRequests(); }), 5u);
  EXPECT_EQ(sim->with([](Instrument& i) { return i.writeRequests(); }), 0u);
  EXPECT_FALSE(link.IsOpen);
}

TEST_P(EndToEnd, RefusedValuesStopTheWriteBeforeAnythingIsStored) {
  struct Case {
    const char* name;
    std::function<void(TMainFrm&)> edit;
    const char* shown;
  };
  const Case cases[] = {
      {"address 257", [](TMainFrm& w) { w.ed_net_addr->setText("257"); },
       "error: The network address '257' is outside 0..255"},
      {"address not a number", [](TMainFrm& w) { w.ed_net_addr->setText("one"); },
       "error: 'one' is not a valid integer value"},
      {"port 70000", [](TMainFrm& w) { w.ip_port->setText("70000"); },
       "error: The unit port '70000' is outside 0..65535"},
      {"gateway that does not parse", [](TMainFrm& w) { w.ip_gate->setText("192.168.0.256"); },
       "error: The gateway '192.168.0.256' is not a dotted IPv4 address"},
      {"server address of 40 characters", [](TMainFrm& w) { w.srv_addr->setText(QString(40, 'a')); },
       "error: The server address 'aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa' is 40 characters long; the field holds "
       "at most 32"},
  };
  read();
  const InstrumentMemory before = sim->memory();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    messages.shown.clear();
    read();
    c.edit(*window);
    write();
    EXPECT_EQ(messages.shown, QStringList{u(c.shown)});
    EXPECT_EQ(sim->memory(), before);
    EXPECT_FALSE(link.IsOpen);
    window->ed_net_addr->setText("1");
  }
  EXPECT_EQ(sim->with([](Instrument& i) { return i.writeRequests(); }), 0u);
}

INSTANTIATE_TEST_SUITE_P(Transports, EndToEnd, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Tcp" : "SerialLine"; });

}  // namespace
}  // namespace netsetup
