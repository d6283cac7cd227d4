#include <QLineEdit>

#include "E2eFixture.h"

namespace netsetup {
namespace {

using testing::EndToEnd;

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

class EndToEndTcp : public EndToEnd {};

// A silent chunk costs five timed-out attempts, so these run over TCP only.
TEST_P(EndToEndTcp, SilentThirdChunkIsReportedAndChangesNoField) {
  sim->with([](Instrument& i) { i.faults().silentFromRead = 3; });
  window->ip_ivb->setText("kept");
  read();
  EXPECT_EQ(messages.shown, QStringList{u("message: Ошибка чтения настроек: блок 3 из 5 не прочитан (код 2)")});
  EXPECT_EQ(window->ip_ivb->text(), "kept");
  EXPECT_TRUE(window->srv_addr->text().isEmpty());
  EXPECT_FALSE(link.IsOpen);
}

TEST_P(EndToEndTcp, SilentWriteChunkSaysWhatWasWritten) {
  read();
  sim->with([](Instrument& i) { i.faults().silentFromWrite = 3; });
  window->apn_login->setText("new");
  write();
  EXPECT_EQ(messages.shown,
            QStringList{u("message: Ошибка записи настроек: блок 3 из 5 не записан (код 2); блоки 1-2 уже записаны")});
  EXPECT_FALSE(link.IsOpen);
}

TEST_P(EndToEndTcp, WrittenSettingsSurviveARestartOfTheSimulator) {
  const std::string state = dir.file("instrument.mem");
  window.reset();
  sim = std::make_unique<testing::Simulator>(dir.path().string(), state);
  openWindow(true);
  read();
  window->srv_addr->setText("backup.example.org");
  write();
  ASSERT_EQ(messages.shown, QStringList{});

  window.reset();
  sim = std::make_unique<testing::Simulator>(dir.path().string(), state);
  openWindow(true);
  read();
  EXPECT_EQ(window->srv_addr->text(), "backup.example.org");
}

INSTANTIATE_TEST_SUITE_P(Transports, EndToEndTcp, ::testing::Values(true), [](const auto&) { return "Tcp"; });

}  // namespace
}  // namespace netsetup
