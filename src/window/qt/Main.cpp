#include "window/qt/Main.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <QApplication>
#include <QScreen>

#include "link/Umod07.h"
#include "netblock/AuthType.h"
#include "actions/Actions.h"
#include "window/qt/MainLook.h"
#include "window/qt/Messages.h"
#include "window/qt/QtPortList.h"
#include "window/qt/QtSingleLine.h"
#include "config/SettingsFile.h"
#include "window/Placement.h"

namespace netsetup {

namespace {

template <typename W>
W* place(W* widget, const char* name, int left, int top, int width, int height) {
  widget->setObjectName(name);
  widget->setGeometry(left, top, width, height);
  return widget;
}

QGroupBox* group(QWidget* parent, const char* name, const QString& caption, int l, int t, int w, int h) {
  return place(new QGroupBox(caption, parent), name, l, t, w, h);
}

QLineEdit* edit(QWidget* parent, const char* name, const QString& text, int l, int t, int w, int h) {
  return place(new QLineEdit(text, parent), name, l, t, w, h);
}

// Labels size themselves to their text.
QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->move(left, top);
  l->adjustSize();
  return l;
}

QComboBox* list(QWidget* parent, const char* name, const QStringList& items, int l, int t, int w, int h) {
  auto* c = place(new QComboBox(parent), name, l, t, w, h);
  c->addItems(items);
  c->setCurrentIndex(-1);
  return c;
}

// The designed place, moved just enough to bring the whole window onto the usable part of the
// screen it would open on. The window manager's frame is not known before the window is shown.
QPoint placeOnScreen(const QRect& designed) {
  QScreen* screen = QGuiApplication::screenAt(designed.center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return designed.topLeft();
  const QRect area = screen->availableGeometry();
  const ScreenPoint at = placeWindow({designed.x(), designed.y(), designed.width(), designed.height()},
                                     {area.x(), area.y(), area.width(), area.height()});
  return {at.left, at.top};
}

}  // namespace

TMainFrm::TMainFrm(Tmod07& link, Messages& messages, SettingsLocation settings, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      link_(link),
      messages_(messages),
      settings_(std::make_unique<SettingsFile>(std::move(settings))) {
  setObjectName("MainFrm");
  setWindowTitle(QString::fromUtf8("Настройка сети VRN-207K"));
  applyWindowLook(*this);
  setFixedSize(700, 502);
  move(placeOnScreen(QRect(QPoint(637, 223), size())));
  createControls();
  FormCreate();
}

TMainFrm::~TMainFrm() = default;

void TMainFrm::createControls() {
  GroupBox1 = group(this, "GroupBox1", QString::fromUtf8("Настройки канала связи с прибором"), 8, 10, 689, 87);
  RBSerial = place(new QRadioButton("Serial Port", GroupBox1), "RBSerial", 8, 24, 73, 17);
  RBIP = place(new QRadioButton("TCP/IP", GroupBox1), "RBIP", 248, 24, 73, 17);
  CBBaud = list(GroupBox1, "CBBaud", {"9600", "19200", "28800", "38400", "57600", "115200"}, 96, 51, 81, 21);
  QStringList ports;
  for (unsigned n = 1; n <= PortMap::kPortCount; ++n) ports << QString("COM%1").arg(n);
  CBPort = list(GroupBox1, "CBPort", ports, 8, 51, 81, 21);
  CBPort->setCurrentIndex(0);
  EIP = edit(GroupBox1, "EIP", "", 248, 49, 105, 21);
  EPort = edit(GroupBox1, "EPort", "10001", 368, 49, 49, 21);
  ed_net_addr = edit(GroupBox1, "ed_net_addr", "1", 546, 48, 75, 21);
  Label1 = label(GroupBox1, "Label1", ":", 418, 52);
  Label12 = label(GroupBox1, "Label12", QString::fromUtf8("Сетевой адрес"), 544, 24);
  RBSerial->setChecked(true);
  // TCP is chosen only through the settings file; nothing in the window enables it.
  RBIP->setEnabled(false);
  EIP->setEnabled(false);
  EPort->setEnabled(false);

  GroupBox2 = group(this, "GroupBox2", QString::fromUtf8("Подключение к ИВБ по Ethernet"), 8, 111, 353, 202);
  ip_ivb = edit(GroupBox2, "ip_ivb", "", 16, 40, 121, 21);
  cb_DHCP = place(new QCheckBox(QString::fromUtf8("использовать DHCP"), GroupBox2), "cb_DHCP", 152, 42, 130, 17);
  ip_mask = edit(GroupBox2, "ip_mask", "", 15, 81, 121, 21);
  ip_gate = edit(GroupBox2, "ip_gate", "", 15, 123, 121, 21);
  ip_port = edit(GroupBox2, "ip_port", "", 16, 166, 121, 21);
  Label2 = label(GroupBox2, "Label2", QString::fromUtf8("IP адрес ИВБ"), 16, 24);
  Label3 = label(GroupBox2, "Label3", QString::fromUtf8("маска подсети"), 15, 65);
  Label4 = label(GroupBox2, "Label4", QString::fromUtf8("шлюз"), 15, 107);
  Label5 = label(GroupBox2, "Label5", QString::fromUtf8("порт для подключения"), 16, 150);

  GroupBox3 = group(this, "GroupBox3", QString::fromUtf8("Настройки сервера диспетчеризации"), 376, 111, 321, 202);
  srv_addr = edit(GroupBox3, "srv_addr", "", 16, 40, 241, 21);
  srv_port = edit(GroupBox3, "srv_port", "", 16, 90, 121, 21);
  Label6 = label(GroupBox3, "Label6", QString::fromUtf8("Адрес сервера (DNS-имя)"), 18, 24);
  Label7 = label(GroupBox3, "Label7", QString::fromUtf8("порт для подключения"), 16, 74);

  GroupBox4 = group(this, "GroupBox4", QString::fromUtf8("Настройки для USB-модема"), 8, 320, 689, 129);
  apn_name = edit(GroupBox4, "apn_name", "", 16, 40, 249, 21);
  apn_login = edit(GroupBox4, "apn_login", "", 375, 43, 121, 21);
  apn_pass = edit(GroupBox4, "apn_pass", "", 375, 88, 121, 21);
  apn_pass->setEchoMode(QLineEdit::Normal);
  QStringList auth;
  for (std::string_view caption : kAuthTypeCaptions) auth << QString::fromUtf8(caption.data(), caption.size());
  cb_AuthType = list(GroupBox4, "cb_AuthType", auth, 16, 91, 145, 21);
  cb_AuthType->setEditable(true);
  cb_AuthType->setInsertPolicy(QComboBox::NoInsert);
  cb_AuthType->setCurrentIndex(-1);
  Label8 = label(GroupBox4, "Label8", QString::fromUtf8("АПН точки доступа оператора мобильной связи"), 16, 24);
  Label9 = label(GroupBox4, "Label9", QString::fromUtf8("Логин"), 375, 27);
  Label10 = label(GroupBox4, "Label10", QString::fromUtf8("Пароль"), 375, 72);
  Label11 = label(GroupBox4, "Label11", QString::fromUtf8("Тип авторизации"), 16, 74);

  btn_read = place(new QPushButton(QString::fromUtf8("Прочитать"), this), "btn_read", 224, 464, 75, 25);
  btn_write = place(new QPushButton(QString::fromUtf8("Записать"), this), "btn_write", 384, 464, 75, 25);
  for (QPushButton* b : {btn_read, btn_write}) {
    b->setAutoDefault(false);
    b->setDefault(false);
    clickOnEnter(*b);
  }
  for (QLineEdit* e : findChildren<QLineEdit*>()) keepSingleLine(*e);  // the auth list's edit included

  // Tab order: the boxes' controls in table order, then the buttons.
  const QList<QWidget*> order{RBSerial, RBIP,    CBBaud,  CBPort,   EIP,       EPort,
                              ed_net_addr, ip_ivb, cb_DHCP, ip_mask, ip_gate, ip_port,
                              srv_addr, srv_port, apn_name, apn_login, apn_pass, cb_AuthType,
                              btn_read, btn_write};
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);

  connect(cb_DHCP, &QCheckBox::toggled, this, &TMainFrm::cb_DHCPClick);
  connect(btn_read, &QPushButton::clicked, this, &TMainFrm::btn_readClick);
  connect(btn_write, &QPushButton::clicked, this, &TMainFrm::btn_writeClick);
}

void TMainFrm::cb_DHCPClick() {
  const bool manual = !cb_DHCP->isChecked();
  ip_ivb->setEnabled(manual);
  ip_mask->setEnabled(manual);
  ip_gate->setEnabled(manual);
}

void TMainFrm::FormCreate() {
  const LinkSettings s = settings_->load();
  auto select = [](QComboBox* box, int index) { box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1); };
  select(CBPort, s.port);
  select(CBBaud, s.baud);
  (s.useIp ? RBIP : RBSerial)->setChecked(true);
  EIP->setText(QString::fromStdString(s.sockIp));
  EPort->setText(QString::fromStdString(s.sockPort));

  link_.portMap() = settings_->portMap();
  showDevicesInTips(*CBPort, [this](int entry) { return link_.portMap().device(static_cast<unsigned>(entry + 1)); });
}

bool TMainFrm::FormClose() {
  LinkSettings s;
  s.port = CBPort->currentIndex();
  s.baud = CBBaud->currentIndex();
  s.useIp = RBIP->isChecked();
  s.sockIp = EIP->text().toStdString();
  s.sockPort = EPort->text().toStdString();
  if (auto error = settings_->save(s)) {
    messages_.showError(QString::fromStdString(*error));
    return false;
  }
  return true;
}

void TMainFrm::closeEvent(QCloseEvent* event) {
  // A close asked for while an action talks to the instrument is carried out once it has ended.
  if (actionRunning_) {
    closePending_ = true;
    event->ignore();
    return;
  }
  // After one failed save a further close ends the run without saving, so a folder that
  // cannot be written does not trap the user in the window.
  if (saveFailed_ || FormClose()) {
    event->accept();
    return;
  }
  saveFailed_ = true;
  event->ignore();
}

LinkChoice TMainFrm::linkChoice() const {
  LinkChoice choice;
  choice.useTcp = !RBSerial->isChecked();
  choice.portIndex = CBPort->currentIndex();
  choice.baudIndex = CBBaud->currentIndex();
  choice.host = EIP->text().toStdString();
  choice.tcpPortText = EPort->text().toStdString();
  return choice;
}

namespace {

// The window blocks while an action talks to the instrument; the cursor says so.
class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

// Mouse and keyboard input, which a modal box would drop anyway.
class InputDropper final : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Wheel:
        return true;
      default:
        return false;
    }
  }
};

// A close the user asked for while the action ran is still waiting; once a modal box is open the
// toolkit would drop it, so it is taken in before the box opens, and closeEvent remembers it.
// Input that waited is dropped here exactly as the box would drop it: no second action starts
// before the message is read.
void takeInWaitingEvents() {
  InputDropper dropper;
  qApp->installEventFilter(&dropper);
  QCoreApplication::processEvents();
  qApp->removeEventFilter(&dropper);
}

}  // namespace

void TMainFrm::runAction(const std::function<ActionOutcome()>& action, bool showFields) {
  ActionOutcome outcome;
  actionRunning_ = true;
  {
    BusyCursor busy;
    outcome = action();
  }
  if (outcome.kind == ActionOutcome::Kind::Done && showFields) DecodeSettings(outcome.fields);
  if (outcome.kind != ActionOutcome::Kind::Done) {
    takeInWaitingEvents();
    const QString text = QString::fromStdString(outcome.text);
    if (outcome.kind == ActionOutcome::Kind::Message) messages_.showMessage(text, QString::fromStdString(outcome.details));
    if (outcome.kind == ActionOutcome::Kind::Error) messages_.showError(text);
  }
  actionRunning_ = false;
  if (closePending_) {
    closePending_ = false;
    close();
  }
}

void TMainFrm::btn_readClick() {
  runAction([this] { return readAction(link_, linkChoice(), ed_net_addr->text().toStdString()); }, true);
}

void TMainFrm::btn_writeClick() {
  runAction(
      [this] { return writeAction(link_, linkChoice(), ed_net_addr->text().toStdString(), EncodeSettings()); },
      false);
}

void TMainFrm::DecodeSettings(const NetworkFields& fields) {
  ip_ivb->clear();
  ip_mask->clear();
  ip_gate->clear();
  cb_DHCP->setChecked(fields.dhcp);  // a change runs the DHCP rule
  if (!fields.dhcp) {
    ip_ivb->setText(QString::fromStdString(fields.ipAddress));
    ip_mask->setText(QString::fromStdString(fields.ipMask));
    ip_gate->setText(QString::fromStdString(fields.ipGateway));
  }
  ip_port->setText(QString::fromStdString(fields.ipPort));
  srv_port->setText(QString::fromStdString(fields.serverPort));
  srv_addr->setText(QString::fromStdString(fields.serverAddress));
  apn_name->setText(QString::fromStdString(fields.apnName));
  apn_login->setText(QString::fromStdString(fields.apnLogin));
  apn_pass->setText(QString::fromStdString(fields.apnPassword));
  cb_AuthType->setCurrentIndex(fields.authIndex >= 0 && fields.authIndex < cb_AuthType->count() ? fields.authIndex : -1);
}

NetworkFields TMainFrm::EncodeSettings() const {
  NetworkFields fields;
  fields.dhcp = cb_DHCP->isChecked();
  fields.ipAddress = ip_ivb->text().toStdString();
  fields.ipMask = ip_mask->text().toStdString();
  fields.ipGateway = ip_gate->text().toStdString();
  fields.ipPort = ip_port->text().toStdString();
  fields.serverPort = srv_port->text().toStdString();
  fields.serverAddress = srv_addr->text().toStdString();
  fields.apnName = apn_name->text().toStdString();
  fields.apnLogin = apn_login->text().toStdString();
  fields.apnPassword = apn_pass->text().toStdString();
  // What the list shows is what is stored: typed text counts only when it names an entry.
  fields.authIndex = authIndexForText(cb_AuthType->currentText().toStdString());
  return fields;
}

}  // namespace netsetup
