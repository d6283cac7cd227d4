#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "config/SettingsLocation.h"
#include "link/Umod07.h"
#include "window/qt/Main.h"
#include "window/qt/MainLook.h"
#include "window/StartOptions.h"
#include "window/qt/QtMessages.h"

// The one channel to the instrument. It exists before the application and lives as long as
// the process; both actions share it, one at a time.
static netsetup::Tmod07 TheLink;

int main(int argc, char* argv[]) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (const auto answer = netsetup::answerBeforeWindow(args, NETSETUP_VERSION, "~/.config/netsetup/netsetup.ini")) {
    return std::fputs(answer->c_str(), stdout) < 0;
  }
  QApplication app(argc, argv);
  QApplication::setFont(netsetup::windowFont());
  netsetup::QtMessages messages;
  netsetup::TMainFrm MainFrm(TheLink, messages,
                             netsetup::settingsLocationFor(QCoreApplication::applicationFilePath().toStdString()));
  MainFrm.show();
  return app.exec();
}
