#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include "WindowFixture.h"

namespace netsetup {
namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

struct ControlRow {
  const char* name;
  const char* kind;
  const char* parent;
  const char* text;  // caption or initial text
  QRect geometry;    // labels: only the position counts
  bool enabled;
};

const ControlRow kControls[] = {
    {"GroupBox1", "QGroupBox", "MainFrm", "Настройки канала связи с прибором", {8, 10, 689, 87}, true},
    {"RBSerial", "QRadioButton", "GroupBox1", "Serial Port", {8, 24, 73, 17}, true},
    {"RBIP", "QRadioButton", "GroupBox1", "TCP/IP", {248, 24, 73, 17}, false},
    {"CBBaud", "QComboBox", "GroupBox1", "9600", {96, 51, 81, 21}, true},
    {"CBPort", "QComboBox", "GroupBox1", "COM1", {8, 51, 81, 21}, true},
    {"EIP", "QLineEdit", "GroupBox1", "", {248, 49, 105, 21}, false},
    {"EPort", "QLineEdit", "GroupBox1", "10001", {368, 49, 49, 21}, false},
    {"ed_net_addr", "QLineEdit", "GroupBox1", "1", {546, 48, 75, 21}, true},
    {"Label1", "QLabel", "GroupBox1", ":", {418, 52, 0, 0}, true},
    {"Label12", "QLabel", "GroupBox1", "Сетевой адрес", {544, 24, 0, 0}, true},
    {"GroupBox2", "QGroupBox", "MainFrm", "Подключение к ИВБ по Ethernet", {8, 111, 353, 202}, true},
    {"ip_ivb", "QLineEdit", "GroupBox2", "", {16, 40, 121, 21}, true},
    {"cb_DHCP", "QCheckBox", "GroupBox2", "использовать DHCP", {152, 42, 130, 17}, true},
    {"ip_mask", "QLineEdit", "GroupBox2", "", {15, 81, 121, 21}, true},
    {"ip_gate", "QLineEdit", "GroupBox2", "", {15, 123, 121, 21}, true},
    {"ip_port", "QLineEdit", "GroupBox2", "", {16, 166, 121, 21}, true},
    {"Label2", "QLabel", "GroupBox2", "IP адрес ИВБ", {16, 24, 0, 0}, true},
    {"Label3", "QLabel", "GroupBox2", "маска подсети", {15, 65, 0, 0}, true},
    {"Label4", "QLabel", "GroupBox2", "шлюз", {15, 107, 0, 0}, true},
    {"Label5", "QLabel", "GroupBox2", "порт для подключения", {16, 150, 0, 0}, true},
    {"GroupBox3", "QGroupBox", "MainFrm", "Настройки сервера диспетчеризации", {376, 111, 321, 202}, true},
    {"srv_addr", "QLineEdit", "GroupBox3", "", {16, 40, 241, 21}, true},
    {"srv_port", "QLineEdit", "GroupBox3", "", {16, 90, 121, 21}, true},
    {"Label6", "QLabel", "GroupBox3", "Адрес сервера (DNS-имя)", {18, 24, 0, 0}, true},
    {"Label7", "QLabel", "GroupBox3", "порт для подключения", {16, 74, 0, 0}, true},
    {"GroupBox4", "QGroupBox", "MainFrm", "Настройки для USB-модема", {8, 320, 689, 129}, true},
    {"apn_name", "QLineEdit", "GroupBox4", "", {16, 40, 249, 21}, true},
    {"apn_login", "QLineEdit", "GroupBox4", "", {375, 43, 121, 21}, true},
    {"apn_pass", "QLineEdit", "GroupBox4", "", {375, 88, 121, 21}, true},
    {"cb_AuthType", "QComboBox", "GroupBox4", "", {16, 91, 145, 21}, true},
    {"Label8", "QLabel", "GroupBox4", "АПН точки доступа оператора мобильной связи", {16, 24, 0, 0}, true},
    {"Label9", "QLabel", "GroupBox4", "Логин", {375, 27, 0, 0}, true},
    {"Label10", "QLabel", "GroupBox4", "Пароль", {375, 72, 0, 0}, true},
    {"Label11", "QLabel", "GroupBox4", "Тип авторизации", {16, 74, 0, 0}, true},
    {"btn_read", "QPushButton", "MainFrm", "Прочитать", {224, 464, 75, 25}, true},
    {"btn_write", "QPushButton", "MainFrm", "Записать", {384, 464, 75, 25}, true},
};

QString textOf(QWidget* w) {
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
  return "?";
}

class Window : public ::testing::Test, public testing::WindowFixture {};

TEST_F(Window, EveryControlAsLaidOut) {
  TMainFrm& w = open();
  for (const ControlRow& row : kControls) {
    SCOPED_TRACE(row.name);
    auto* c = w.findChild<QWidget*>(row.name);
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->metaObject()->className(), row.kind);
    EXPECT_EQ(c->parentWidget()->objectName(), row.parent);
    EXPECT_EQ(textOf(c), u(row.text));
    EXPECT_EQ(c->isEnabled(), row.enabled);
    EXPECT_EQ(c->pos(), row.geometry.topLeft());
    if (row.geometry.width() > 0) {
      EXPECT_EQ(c->size(), row.geometry.size());
    } else {
      EXPECT_EQ(c->size(), c->sizeHint());  // labels size to their text
    }
  }
}

TEST_F(Window, ListsStatesAndFrame) {
  TMainFrm& w = open();
  EXPECT_EQ(w.windowTitle(), u("Настройка сети VRN-207K"));
  EXPECT_EQ(w.size(), QSize(700, 502));
  EXPECT_EQ(w.minimumSize(), w.maximumSize());
  // Designed at 637,223, where the offscreen platform's 800x800 screen cannot hold it whole:
  // moved left just enough to fit.
  ASSERT_EQ(w.screen()->availableGeometry(), QRect(0, 0, 800, 800));
  EXPECT_EQ(w.pos(), QPoint(100, 223));
  EXPECT_FALSE(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(w.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(w.font().pixelSize(), 11);
  const QString family = QFontInfo(w.font()).family();
  EXPECT_TRUE(family == "Liberation Sans" || family == "DejaVu Sans") << family.toStdString();
  EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::Cyrillic));

  QStringList baud, port, auth;
  for (int i = 0; i < w.CBBaud->count(); ++i) baud << w.CBBaud->itemText(i);
  for (int i = 0; i < w.CBPort->count(); ++i) port << w.CBPort->itemText(i);
  for (int i = 0; i < w.cb_AuthType->count(); ++i) auth << w.cb_AuthType->itemText(i);
  EXPECT_EQ(baud, (QStringList{"9600", "19200", "28800", "38400", "57600", "115200"}));
  EXPECT_EQ(port.size(), 16);
  EXPECT_EQ(port.front(), "COM1");
  EXPECT_EQ(port.back(), "COM16");
  EXPECT_EQ(auth, (QStringList{u("Нет"), u("Любой"), "PAP", "CHAP"}));
  EXPECT_FALSE(w.CBBaud->isEditable());
  EXPECT_FALSE(w.CBPort->isEditable());
  EXPECT_TRUE(w.cb_AuthType->isEditable());
  EXPECT_EQ(w.cb_AuthType->currentIndex(), -1);
  EXPECT_EQ(w.apn_pass->echoMode(), QLineEdit::Normal);
  EXPECT_TRUE(w.RBSerial->isChecked());
  EXPECT_FALSE(w.RBIP->isChecked());
  EXPECT_FALSE(w.cb_DHCP->isChecked());
  EXPECT_FALSE(w.btn_read->isDefault() || w.btn_read->autoDefault());
  EXPECT_FALSE(w.btn_write->isDefault() || w.btn_write->autoDefault());
}

TEST_F(Window, TabOrderFollowsTheTable) {
  TMainFrm& w = open();
  QStringList named;
  QWidget* c = w.RBSerial;
  do {
    if (!c->objectName().isEmpty() && c->objectName() != "MainFrm" && !named.contains(c->objectName())) {
      named << c->objectName();
    }
    c = c->nextInFocusChain();
  } while (c != w.RBSerial);
  QStringList focusable;
  for (const ControlRow& row : kControls) {
    QString kind = row.kind;
    if (kind != "QLabel" && kind != "QGroupBox") focusable << row.name;
  }
  QStringList inChain;
  for (const QString& n : named) {
    if (focusable.contains(n)) inChain << n;
  }
  EXPECT_EQ(inChain, focusable);
}

TEST_F(Window, DhcpRuleMovesExactlyTheThreeAddressFields) {
  TMainFrm& w = open();
  w.show();
  w.ip_ivb->setText("1.2.3.4");
  QList<QWidget*> others;
  for (QWidget* c : w.findChildren<QWidget*>()) {
    if (c != w.ip_ivb && c != w.ip_mask && c != w.ip_gate && !c->objectName().isEmpty()) others << c;
  }
  QMap<QWidget*, bool> before;
  for (QWidget* c : others) before[c] = c->isEnabled();

  QTest::mouseClick(w.cb_DHCP, Qt::LeftButton, {}, QPoint(5, w.cb_DHCP->height() / 2));
  ASSERT_TRUE(w.cb_DHCP->isChecked());
  for (QLineEdit* e : {w.ip_ivb, w.ip_mask, w.ip_gate}) EXPECT_FALSE(e->isEnabled());
  EXPECT_EQ(w.ip_ivb->text(), "1.2.3.4");
  for (QWidget* c : others) EXPECT_EQ(c->isEnabled(), before[c]) << c->objectName().toStdString();

  QTest::mouseClick(w.cb_DHCP, Qt::LeftButton, {}, QPoint(5, w.cb_DHCP->height() / 2));
  for (QLineEdit* e : {w.ip_ivb, w.ip_mask, w.ip_gate}) EXPECT_TRUE(e->isEnabled());

  // Setting the box to the state it has runs nothing.
  w.ip_mask->setEnabled(false);
  w.cb_DHCP->setChecked(false);
  EXPECT_FALSE(w.ip_mask->isEnabled());
}

}  // namespace
}  // namespace netsetup
