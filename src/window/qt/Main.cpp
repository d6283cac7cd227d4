#include "window/qt/Main.h"

#include <QCloseEvent>

#include <QApplication>
#include <QScreen>

#include "link/Umod07.h"
#include "netblock/AuthType.h"
#include "window/Controls.h"
#include "actions/Actions.h"
#include "window/qt/MainLook.h"
#include "window/Messages.h"
#include "window/qt/QtPortList.h"
#include "window/qt/QtSingleLine.h"
#include "config/SettingsFile.h"
#include "window/Placement.h"

namespace netsetup {

namespace {

QWidget* makeControl(const ControlSpec& c, QWidget* parent) {
  const QString caption = QString::fromUtf8(c.caption);
  switch (c.kind) {
    case ControlKind::Group:
      return new QGroupBox(caption, parent);
    case ControlKind::Radio:
      return new QRadioButton(caption, parent);
    case ControlKind::Check:
      return new QCheckBox(caption, parent);
    case ControlKind::Button: {
      auto* button = new QPushButton(caption, parent);
      button->setAutoDefault(false);  // neither is a default button, but Enter on a focused one clicks it
      clickOnEnter(*button);
      return button;
    }
    case ControlKind::Edit:
      return new QLineEdit(caption, parent);
    case ControlKind::List:
    case ControlKind::EditableList: {
      auto* list = new QComboBox(parent);
      for (const std::string& item : listItems(c.items)) list->addItem(QString::fromStdString(item));
      list->setEditable(c.kind == ControlKind::EditableList);
      list->setInsertPolicy(QComboBox::NoInsert);
      list->setCurrentIndex(c.selection);
      return list;
    }
    case ControlKind::Label:
      return new QLabel(caption, parent);
  }
  return nullptr;
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
  setObjectName(kMainFrm.name);
  setWindowTitle(QString::fromUtf8(kMainFrm.caption));
  setFixedSize(kMainFrm.width, kMainFrm.height);
  move(placeOnScreen(QRect(QPoint(kMainFrm.left, kMainFrm.top), size())));
  connect(cb_DHCP, &QCheckBox::toggled, this, &TMainFrm::cb_DHCPClick);
  connect(btn_read, &QPushButton::clicked, this, &TMainFrm::btn_readClick);
  connect(btn_write, &QPushButton::clicked, this, &TMainFrm::btn_writeClick);
  FormCreate();
}

TMainFrm::~TMainFrm() = default;

std::map<int, QWidget*> TMainFrm::createControls(TMainFrm& window) {
  applyWindowLook(window);  // first: labels size themselves to their text in the window's font
  std::map<int, QWidget*> controls{{ids::MainFrm, &window}};
  QWidget* previous = nullptr;
  for (const ControlSpec& c : windowControls()) {
    QWidget* control = makeControl(c, controls.at(c.parent));
    control->setObjectName(c.name);
    control->setGeometry(c.left, c.top, c.width, c.height);
    if (c.kind == ControlKind::Label) control->adjustSize();
    control->setEnabled(c.enabled);
    if (auto* button = qobject_cast<QAbstractButton*>(control)) button->setChecked(c.checked);
    if (c.focusable() && previous) setTabOrder(previous, control);
    if (c.focusable()) previous = control;
    controls[c.id] = control;
  }
  for (QLineEdit* edit : window.findChildren<QLineEdit*>()) keepSingleLine(*edit);  // the auth list's edit too
  return controls;
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
    messages_.showError(*error);
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
    if (outcome.kind == ActionOutcome::Kind::Message) messages_.showMessage(outcome.text, outcome.details);
    if (outcome.kind == ActionOutcome::Kind::Error) messages_.showError(outcome.text);
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
