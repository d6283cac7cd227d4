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

// The line breaks after the instrument stored chunk 4 but before it confirmed it: the message
// claims only what the tool knows.
TEST_P(EndToEndTcp, UnconfirmedWriteChunkSaysWhatIsKnown) {
  read();
  sim->with([](Instrument& i) { i.faults().unconfirmedFromWrite = 4; });
  window->apn_login->setText("new");
  write();
  EXPECT_EQ(messages.shown, QStringList{u("message: Ошибка записи настроек: блок 4 из 5 отправлен, но не подтверждён "
                                          "(код 2); блоки 1-3 записаны и подтверждены; блок 5 не отправлен")});
  EXPECT_EQ(sim->memory()[kSettingsAreaAddress + kApnLoginOffset], 'n');  // chunk 4 did arrive
  EXPECT_EQ(sim->with([](Instrument& i) { return i.writeRequests(); }), 3u + 5u);  // chunk 4 sent five times
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
