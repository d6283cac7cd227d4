// The window against the simulator under every fault it can inject, for Read and for Write,
// over TCP and over a pseudo-terminal standing in for COM1: one case each, checked against the
// rules and outcomes of support/FaultMatrix, which docs/fault-matrix.md shows as a table.
#include <QPushButton>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/FaultMatrix.h"
#include "support/Results.h"
#include "InstrumentBus.h"
#include "PtyServer.h"
#include "TcpServer.h"
#include "link/Umod07.h"
#include "link/posix/SerialPort.h"
#include "netblock/NetworkCodec.h"
#include "support/RecordingMessages.h"
#include "support/TempDir.h"
#include "window/qt/Main.h"

namespace netsetup {
namespace {

using namespace matrix;

struct Case {
  size_t row;
  Action action;
  Line line;
};

// Read in ctest's listing as "BadChecksum Write Tcp".
void PrintTo(const Case& c, std::ostream* os) {
  *os << rows()[c.row].name << " " << actionName(c.action) << " " << lineName(c.line);
}

std::vector<Case> everyCase() {
  std::vector<Case> cases;
  for (size_t r = 0; r < rows().size(); ++r) {
    for (Action action : {Action::Read, Action::Write}) {
      for (Line line : {Line::Tcp, Line::Serial}) {
        if (rows()[r].applies(action, line)) cases.push_back({r, action, line});
      }
    }
  }
  return cases;
}

Budget budgetOn(const Tmod07& link, Line line) {
  const unsigned pollMs = Tmod07::kPollSleepMs + (line == Line::Serial ? SerialPort::kReadTimeoutMs : 0);
  return budgetOf(link, pollMs, true);
}

class Matrix : public ::testing::TestWithParam<Case> {
 protected:
  SettingsArea area() {
    return bus.with(0, [](Instrument& i) {
      SettingsArea a;
      std::copy_n(i.memory().begin() + kSettingsAreaAddress, a.size(), a.begin());
      return a;
    });
  }
  // What the user was shown, without the box's kind when it is the actions' message box.
  std::string shown() const {
    if (messages.shown.size() == 1 && messages.shown[0].startsWith("message: ")) {
      return messages.shown[0].mid(9).toStdString();
    }
    return messages.shown.join(" | ").toStdString();
  }

  testing::TempDir dir;
  InstrumentBus bus;
  Tmod07 link;
  testing::RecordingMessages messages;
};

TEST_P(Matrix, Case) {
  const Case c = GetParam();
  const Row& row = rows()[c.row];
  const SimSetup setup = row.setup(c.action, budgetOn(link, c.line));
  Instrument& instrument = bus.add(std::make_unique<Instrument>());
  instrument.faults() = setup.faults;
  instrument.setTypeString(setup.typeString);
  TcpServer tcp(bus, setup.timing);
  PtyServer pty(bus, setup.timing);
  ASSERT_EQ(testing::failureText(tcp.open("127.0.0.1", 0)), std::nullopt);
  ASSERT_EQ(testing::failureText(pty.open(dir.file("vrn-pty"))), std::nullopt);
  tcp.start();
  pty.start();
  const std::string ini = dir.file("netsetup.ini");
  testing::writeFile(ini, "[#]\r\nUseIP=" + std::string(c.line == Line::Tcp ? "1" : "0") +
                              "\r\nSockIP=127.0.0.1\r\nSockPort=" + std::to_string(tcp.port()) +
                              "\r\n[Ports]\r\nCOM1=" + pty.linkPath() + "\r\n");
  TMainFrm window(link, messages, ini);
  window.show();

  // Recognisable values first: a failed Read must leave them, and they are what a Write stores.
  window.controller().DecodeSettings(newFields());
  Observed seen;
  seen.fieldsBefore = seen.written = window.controller().EncodeSettings();
  seen.areaBefore = area();
  (c.action == Action::Read ? window.btn_read : window.btn_write)->click();
  seen.message = shown();
  seen.fieldsAfter = window.controller().EncodeSettings();
  seen.areaAfter = area();
  bus.with(0, [&seen](Instrument& i) {
    seen.writeRequests = i.writeRequests();
    seen.lastWriteAddress = i.lastWriteAddress();
  });
  seen.linkOpen = link.IsOpen;
  SCOPED_TRACE("netsetup-sim " + simOptions(setup));
  for (const std::string& broken : brokenRules(row, c.action, setup, seen)) ADD_FAILURE() << broken;

  // The line recovers: the next action opens it again and shows what the instrument now holds.
  bus.with(0, [](Instrument& i) {
    i.faults() = {};
    i.setTypeString("VRN-207K");
  });
  tcp.setTiming({});
  pty.setTiming({});
  const unsigned lateMs = setup.timing.delayMs + (setup.timing.lateByte ? setup.timing.lateByte->ms : 0);
  if (lateMs) std::this_thread::sleep_for(std::chrono::milliseconds(lateMs + 100));  // the last late answer
  messages.shown.clear();
  window.btn_read->click();
  EXPECT_EQ(shown(), "") << "the action after the fault";
  EXPECT_EQ(window.controller().EncodeSettings(), decodeNetworkSettings(area())) << "the action after the fault";
  EXPECT_FALSE(link.IsOpen);
}

INSTANTIATE_TEST_SUITE_P(Faults, Matrix, ::testing::ValuesIn(everyCase()), [](const auto& info) {
  const Case& c = info.param;
  return rows()[c.row].name + "_" + actionName(c.action) + "_" + lineName(c.line);
});

// The user's table is the one these cases check.
TEST(FaultMatrixDocument, ShowsTheTableTheCasesCheck) {
  const auto path = std::filesystem::path(NETSETUP_SOURCE_DIR) / "docs/fault-matrix.md";
  const std::string text = testing::readFile(path.string());
  const std::string begin = "<!-- table: generated from tests/support/FaultMatrix.cpp -->\n", end = "<!-- end of table -->";
  const size_t from = text.find(begin), to = text.find(end);
  ASSERT_TRUE(from != std::string::npos && to != std::string::npos) << path;
  const Tmod07 link;
  const std::string table = markdownTable(budgetOn(link, Line::Tcp), budgetOn(link, Line::Serial));
  EXPECT_EQ(text.substr(from + begin.size(), to - from - begin.size()), table) << "the table should read:\n" << table;
}

}  // namespace
}  // namespace netsetup
