#include <QApplication>

#include <cstdio>
#include <cstring>

#include "config/SettingsLocation.h"
#include "link/Umod07.h"
#include "window/qt/Main.h"
#include "window/qt/MainLook.h"
#include "window/qt/QtMessages.h"

// The one channel to the instrument. It exists before the application and lives as long as
// the process; both actions share it, one at a time.
static netsetup::Tmod07 TheLink;

namespace {

constexpr char kUsage[] = R"(Usage: netsetup [--version | --help]
Opens the window that reads and changes the network settings of a VRN-207K instrument over a
serial port or a TCP connection. The link settings are kept in netsetup.ini beside the
program, or in ~/.config/netsetup/netsetup.ini when the program's folder may not be written.
)";

}  // namespace

int main(int argc, char* argv[]) {
  // The window takes no options of its own; these two answer and end before any window opens.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) return std::printf("netsetup %s\n", NETSETUP_VERSION) < 0;
    if (std::strcmp(argv[i], "--help") == 0) return std::fputs(kUsage, stdout) < 0;
  }
  QApplication app(argc, argv);
  QApplication::setFont(netsetup::windowFont());
  netsetup::QtMessages messages;
  netsetup::TMainFrm MainFrm(TheLink, messages,
                             netsetup::settingsLocationFor(QCoreApplication::applicationFilePath().toStdString()));
  MainFrm.show();
  return app.exec();
}
