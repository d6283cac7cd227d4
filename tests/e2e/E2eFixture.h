#pragma once
// The window on a real link to an in-process simulated instrument, reached over TCP or over a
// pseudo-terminal standing in for COM1. Message boxes are really shown, saved as pictures and
// answered, and their texts recorded.
#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "support/Results.h"
#include "Instrument.h"
#include "InstrumentBus.h"
#include "PtyServer.h"
#include "TcpServer.h"
#include "link/Umod07.h"
#include "support/TempDir.h"
#include "window/qt/Main.h"
#include "window/qt/QtMessages.h"

namespace netsetup::testing {

inline QString artifactsDir() {
  const QString dir = qEnvironmentVariable("NETSETUP_ARTIFACTS", QDir::tempPath() + "/netsetup-artifacts");
  QDir().mkpath(dir);
  return dir;
}

inline QString testName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return QString::fromStdString(std::string(info->test_suite_name()) + "." + info->name()).replace('/', '_');
}

// Shows the real dialogs; each one is saved as a PNG, recorded, and closed with its "OK".
class ScreenshotMessages final : public Messages {
 public:
  void showMessage(const std::string& text, const std::string& details) override {
    shown << "message: " + QString::fromStdString(text);
    answerNextBox();
    real_.showMessage(text, details);
  }
  void showError(const std::string& text) override {
    shown << "error: " + QString::fromStdString(text);
    answerNextBox();
    real_.showError(text);
  }
  QStringList shown;

 private:
  void answerNextBox() {
    const QString file = artifactsDir() + "/" + testName() + "-box" + QString::number(shown.size()) + ".png";
    QTimer::singleShot(0, [file] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      box->grab().save(file);
      box->button(QMessageBox::Ok)->click();
    });
  }
  QtMessages real_;
};

struct Simulator {
  // With a state file, the memory comes from it when it exists and is saved after each write,
  // as netsetup-sim --state does.
  explicit Simulator(const std::string& dir, const std::string& stateFile = {})
      : instrument(bus.add(withState(stateFile), stateFile)) {
    EXPECT_EQ(testing::failureText(tcp.open("127.0.0.1", 0)), std::nullopt);
    EXPECT_EQ(testing::failureText(pty.open(dir + "/vrn-pty")), std::nullopt);
    tcp.start();
    pty.start();
  }
  ~Simulator() {
    tcp.stop();
    pty.stop();
  }
  static std::unique_ptr<Instrument> withState(const std::string& stateFile) {
    auto instrument = std::make_unique<Instrument>();
    if (!stateFile.empty() && std::filesystem::exists(stateFile)) {
      EXPECT_EQ(testing::failureText(loadMemoryImage(stateFile, instrument->memory())), std::nullopt);
    }
    return instrument;
  }
  InstrumentMemory memory() {
    return bus.with(0, [](Instrument& i) { return i.memory(); });
  }
  template <class F>
  auto with(F f) {
    return bus.with(0, f);
  }

  InstrumentBus bus;
  Instrument& instrument;
  TcpServer tcp{bus};
  PtyServer pty{bus};
};

class EndToEnd : public ::testing::TestWithParam<bool> {  // true: TCP, false: serial line
 protected:
  void SetUp() override {
    sim = std::make_unique<Simulator>(dir.path().string());
    openWindow(GetParam());
  }

  void openWindow(bool tcp) {
    const std::string ini = "[#]\r\nUseIP=" + std::string(tcp ? "1" : "0") + "\r\nSockIP=127.0.0.1\r\nSockPort=" +
                            std::to_string(sim->tcp.port()) + "\r\n[Ports]\r\nCOM1=" + sim->pty.linkPath() + "\r\n";
    writeFile(dir.file("netsetup.ini"), ini);
    window = std::make_unique<TMainFrm>(link, messages, dir.file("netsetup.ini"));
    window->show();
  }

  void read() { window->btn_read->click(); }
  void write() { window->btn_write->click(); }
  void saveShot(const QString& what) { window->grab().save(artifactsDir() + "/" + testName() + "-" + what + ".png"); }

  TempDir dir;
  std::unique_ptr<Simulator> sim;
  Tmod07 link;
  ScreenshotMessages messages;
  std::unique_ptr<TMainFrm> window;
};

}  // namespace netsetup::testing
