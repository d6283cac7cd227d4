#include <QApplication>

#include "link/Umod07.h"
#include "window/qt/Main.h"
#include "window/qt/MainLook.h"
#include "window/qt/QtMessages.h"
#include "config/SettingsFile.h"

// The one channel to the instrument. It exists before the application and lives as long as
// the process; both actions share it, one at a time.
static netsetup::Tmod07 TheLink;

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setFont(netsetup::windowFont());
  netsetup::QtMessages messages;
  netsetup::TMainFrm MainFrm(TheLink, messages,
                             netsetup::settingsPathFor(QCoreApplication::applicationFilePath().toStdString()));
  MainFrm.show();
  return app.exec();
}
