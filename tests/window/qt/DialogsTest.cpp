#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "window/qt/QtMessages.h"

namespace netsetup {
namespace {

TEST(AppTitle, NameWithoutFolderCutAtFirstDotRestLowerCase) {
  const std::pair<const char*, const char*> cases[] = {
      {"/opt/tools/netsetup", "netsetup"},
      {"/opt/tools/NetSetup.exe", "Netsetup"},
      {"C:/Tools/NETSETUP.v2.EXE", "Netsetup"},
      {"/x/.hidden", ""},
      {"/x/Настройка.bin", "Настройка"},
      {"/x/НАСТРОЙКА", "Настройка"},
  };
  for (auto [path, title] : cases) EXPECT_EQ(applicationTitle(QString::fromUtf8(path)), QString::fromUtf8(title)) << path;
}

// Inspects the modal box that shows up next, then presses its button.
void whenBoxShows(std::function<void(QMessageBox&)> inspect) {
  QTimer::singleShot(0, [inspect] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    inspect(*box);
    box->button(QMessageBox::Ok)->click();
  });
}

TEST(RealDialogs, MessageBoxAndErrorBox) {
  QtMessages messages;
  const QString title = applicationTitle(QCoreApplication::applicationFilePath());
  bool seen = false;
  whenBoxShows([&](QMessageBox& box) {
    seen = true;
    EXPECT_EQ(box.windowTitle(), title);
    EXPECT_EQ(box.text(), QString::fromUtf8("Ошибка соединения (1)"));
    EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box.buttons().size(), 1);
    EXPECT_TRUE(box.isModal());
  });
  messages.showMessage("Ошибка соединения (1)", "");
  EXPECT_TRUE(seen);

  seen = false;
  whenBoxShows([&](QMessageBox& box) {
    seen = true;
    EXPECT_EQ(box.windowTitle(), title);
    EXPECT_EQ(box.text(), "'x' is not a valid integer value.");
    EXPECT_EQ(box.icon(), QMessageBox::Critical);
    EXPECT_EQ(box.buttons().size(), 1);
  });
  messages.showError("'x' is not a valid integer value");
  EXPECT_TRUE(seen);

  seen = false;
  whenBoxShows([&](QMessageBox& box) {
    seen = true;
    EXPECT_EQ(box.text(), QString::fromUtf8("Ошибка соединения (1)"));
    EXPECT_EQ(box.detailedText(), "The serial device /dev/ttyUSB0 does not exist.");
  });
  messages.showMessage("Ошибка соединения (1)", "The serial device /dev/ttyUSB0 does not exist.");
  EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace netsetup
