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
#include "window/Controls.h"

namespace netsetup {
namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

const char* className(ControlKind kind) {
  switch (kind) {
    case ControlKind::Group: return "QGroupBox";
    case ControlKind::Radio: return "QRadioButton";
    case ControlKind::Check: return "QCheckBox";
    case ControlKind::Button: return "QPushButton";
    case ControlKind::Edit: return "QLineEdit";
    case ControlKind::List:
    case ControlKind::EditableList: return "QComboBox";
    case ControlKind::Label: return "QLabel";
  }
  return "?";
}

// A control's caption or text; a list's entries.
QString textOf(QWidget* w) {
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  QStringList entries;
  if (auto* c = qobject_cast<QComboBox*>(w)) {
    for (int i = 0; i < c->count(); ++i) entries << c->itemText(i);
  }
  return entries.join('|');
}

QString textOf(const ControlInfo& c) {
  QStringList entries;
  for (const std::string& entry : listItems(c.items)) entries << QString::fromStdString(entry);
  return c.items == ListItems::None ? u(c.caption) : entries.join('|');
}

class Window : public ::testing::Test, public testing::WindowFixture {};

TEST_F(Window, EveryControlAsTheTableHasIt) {
  TMainFrm& w = open();
  for (const ControlInfo& row : windowControls()) {
    SCOPED_TRACE(row.name);
    auto* c = w.findChild<QWidget*>(row.name);
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->metaObject()->className(), className(row.kind));
    EXPECT_EQ(c->parentWidget()->objectName(), row.parent == ids::MainFrm ? kMainFrm.name : controlInfo(row.parent).name);
    EXPECT_EQ(textOf(c), textOf(row));
    EXPECT_EQ(c->isEnabled(), row.enabled);
    if (auto* b = qobject_cast<QAbstractButton*>(c)) {
      EXPECT_EQ(b->isChecked(), row.checked);
    }
    EXPECT_EQ(c->pos(), QPoint(row.left, row.top));
    if (row.width > 0) {
      EXPECT_EQ(c->size(), QSize(row.width, row.height));
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
  for (const ControlInfo& row : windowControls()) {
    if (row.focusable()) focusable << row.name;
  }
  QStringList inChain;
  for (const QString& n : named) {
    if (focusable.contains(n)) inChain << n;
  }
  EXPECT_EQ(inChain, focusable);
}

// Tab reaches the link's radio buttons however the settings file chose the link: with TCP chosen,
// the checked TCP/IP button is disabled and the enabled one must take the group's stop.
TEST_F(Window, TabReachesAnEnabledRadioButton) {
  for (const auto& [ini, reached] : {std::pair{"[#]\r\nUseIP=0\r\n", "RBSerial"},
                                     {"[#]\r\nUseIP=1\r\nSockIP=10.0.0.5\r\n", "RBSerial"}}) {
    TMainFrm& w = open(ini);
    w.show();
    QApplication::setActiveWindow(&w);
    w.btn_write->setFocus();
    QStringList seen;
    for (int press = 0; press < 30; ++press) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      seen << QApplication::focusWidget()->objectName();
    }
    EXPECT_TRUE(seen.contains(reached)) << ini << ": " << seen.join(' ').toStdString();
    EXPECT_FALSE(seen.contains("RBIP")) << ini;
  }
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
