#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <qpa/qwindowsysteminterface.h>

#include <gtest/gtest.h>

#include "WindowFixture.h"
#include "window/qt/QtMessages.h"

namespace netsetup {
namespace {

class Editing : public ::testing::Test, public testing::WindowFixture {};

TEST_F(Editing, PastedTextKeepsOnlyItsFirstLineWithoutControlCharacters) {
  TMainFrm& w = open();
  const std::pair<QString, QString> cases[] = {
      {"dispatch.example.org\n.", "dispatch.example.org"},
      {"dispatch.example.org\r\n", "dispatch.example.org"},
      {"a\tb\x7F", "ab"},
      {QString(40000, 'a'), QString(40000, 'a')},  // no silent cut at 32,767
  };
  for (const auto& [pasted, kept] : cases) {
    w.srv_addr->clear();
    QGuiApplication::clipboard()->setText(pasted);
    w.srv_addr->paste();
    EXPECT_EQ(w.srv_addr->text(), kept);
  }
  // A text the program shows (a Read) is shown as it is, so a Write can refuse it by name.
  w.srv_addr->setText("a\nb");
  EXPECT_EQ(w.srv_addr->text(), "a\nb");
}

TEST_F(Editing, TheAuthenticationListStoresWhatItShows) {
  TMainFrm& w = open();
  w.show();
  const std::pair<const char*, int> cases[] = {{"pap", 2}, {"xyz", -1}, {"", -1}};
  for (const auto& [typed, index] : cases) {
    w.cb_AuthType->setCurrentIndex(3);  // CHAP, picked from the drop-down
    EXPECT_EQ(w.controller().EncodeSettings().authIndex, 3);
    w.cb_AuthType->lineEdit()->clear();
    QTest::keyClicks(w.cb_AuthType->lineEdit(), typed);
    EXPECT_EQ(w.controller().EncodeSettings().authIndex, index) << typed;
  }
  NetworkFields read;
  read.authIndex = 3;
  w.controller().DecodeSettings(read);  // a Read shows the entry again, even over typed text
  EXPECT_EQ(w.cb_AuthType->currentText(), "CHAP");
}

TEST_F(Editing, EnterOnAFocusedButtonClicksItButNotInAnEdit) {
  TMainFrm& w = open();
  w.show();
  QApplication::setActiveWindow(&w);
  struct Case {
    QWidget* target;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    size_t opens;
  };
  const Case cases[] = {
      {w.btn_read, Qt::Key_Return, Qt::NoModifier, 1},
      {w.btn_write, Qt::Key_Enter, Qt::KeypadModifier, 1},
      {w.ed_net_addr, Qt::Key_Return, Qt::NoModifier, 0},
  };
  for (const Case& c : cases) {
    factory.openedDevices.clear();
    c.target->setFocus();
    QTest::keyClick(c.target, c.key, c.modifiers);
    EXPECT_EQ(factory.openedDevices.size(), c.opens) << c.target->objectName().toStdString();
  }
}

// Shows the real modal boxes and answers each once it has been up for a moment, as a user would:
// what the window system delivers meanwhile meets a window the box blocks.
class AnsweredBoxes final : public Messages {
 public:
  void showMessage(const std::string& text, const std::string& details) override {
    answer();
    real_.showMessage(text, details);
  }
  void showError(const std::string& text) override {
    answer();
    real_.showError(text);
  }

 private:
  static void answer() {
    QTimer::singleShot(100, [] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->button(QMessageBox::Ok)->click();
    });
  }
  QtMessages real_;
};

TEST_F(Editing, ACloseDuringAnActionIsCarriedOutAfterItsMessage) {
  AnsweredBoxes boxes;
  TMainFrm w(link, boxes, iniPath);
  w.show();
  // The user closes the window while the silent instrument holds the action.
  factory.line->onSend = [&w](const std::vector<uint8_t>&) {
    QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::AsynchronousDelivery>(w.windowHandle());
  };
  w.btn_read->click();
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(testing::readFile(iniPath), "[#]\r\nPort=0\r\nBaud=0\r\nUseIP=0\r\nSockIP=\r\nSockPort=10001\r\n");
}

}  // namespace
}  // namespace netsetup
