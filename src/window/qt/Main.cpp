#include "window/qt/Main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>

#include "window/Placement.h"
#include "window/qt/MainLook.h"
#include "window/qt/QtPortList.h"
#include "window/qt/QtSingleLine.h"

namespace netsetup {

namespace {

QWidget* makeControl(const ControlInfo& c, QWidget* parent) {
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

}  // namespace

TMainFrm::TMainFrm(Tmod07& link, Messages& messages, SettingsLocation settings, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      controller_(link, *this, messages, std::move(settings), SerialDevices::FromSettingsFile) {
  setObjectName(kMainFrm.name);
  setWindowTitle(QString::fromUtf8(kMainFrm.caption));
  setFixedSize(kMainFrm.width, kMainFrm.height);
  move(placeOnScreen(QRect(QPoint(kMainFrm.left, kMainFrm.top), size())));
  connect(cb_DHCP, &QCheckBox::toggled, this, [this] { controller_.cb_DHCPClick(); });
  connect(btn_read, &QPushButton::clicked, this, [this] { controller_.btn_readClick(); });
  connect(btn_write, &QPushButton::clicked, this, [this] { controller_.btn_writeClick(); });
  controller_.FormCreate();
  showDevicesInTips(*CBPort, [this](int entry) { return controller_.portDevice(entry); });
}

TMainFrm::~TMainFrm() = default;

std::map<int, QWidget*> TMainFrm::createControls(TMainFrm& window) {
  applyWindowLook(window);  // first: labels size themselves to their text in the window's font
  std::map<int, QWidget*> controls{{ids::MainFrm, &window}};
  QWidget* previous = nullptr;
  for (const ControlInfo& c : windowControls()) {
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
  // Without a name of its own, an edit or list is read out by its group box's caption.
  // Qt on Linux names a list by its value and its label by the "labelled by" relation, which a
  // label no one sees provides where the list has none.
  for (const AccessibleName& row : accessibleNames()) {
    QWidget* control = controls.at(row.control);
    const QString name = QString::fromStdString(netsetup::accessibleName(row.control));
    control->setAccessibleName(name);
    auto* label = row.label != ids::MainFrm ? static_cast<QLabel*>(controls.at(row.label)) : nullptr;
    if (!label && qobject_cast<QComboBox*>(control)) {
      label = new QLabel(name, control->parentWidget());
      label->hide();
    }
    if (label) label->setBuddy(control);
    if (auto* list = qobject_cast<QComboBox*>(control); list && list->lineEdit()) list->lineEdit()->setAccessibleName(name);
  }
  return controls;
}

void TMainFrm::closeEvent(QCloseEvent* event) { event->setAccepted(controller_.FormClose()); }

std::string TMainFrm::text(ControlId id) const {
  if (auto* list = qobject_cast<QComboBox*>(controls_.at(id))) return list->currentText().toStdString();
  return control<QLineEdit>(id)->text().toStdString();
}

void TMainFrm::setText(ControlId id, const std::string& utf8) {
  control<QLineEdit>(id)->setText(QString::fromStdString(utf8));
}

bool TMainFrm::checked(ControlId id) const { return control<QAbstractButton>(id)->isChecked(); }

void TMainFrm::setChecked(ControlId id, bool checked) {
  const QSignalBlocker silent(controls_.at(id));
  control<QAbstractButton>(id)->setChecked(checked);
}

int TMainFrm::selection(ControlId id) const { return control<QComboBox>(id)->currentIndex(); }

void TMainFrm::select(ControlId id, int index) { control<QComboBox>(id)->setCurrentIndex(index); }

void TMainFrm::setEnabled(ControlId id, bool enabled) { controls_.at(id)->setEnabled(enabled); }

// The window blocks while an action talks to the instrument; the cursor says so.
void TMainFrm::setBusy(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

// A close asked for while the action ran waits as an event; once a modal box is open the toolkit
// would drop it, so it is delivered now and reaches the controller through closeEvent.
bool TMainFrm::takeInWaitingInput() {
  InputDropper dropper;
  qApp->installEventFilter(&dropper);
  QCoreApplication::processEvents();
  qApp->removeEventFilter(&dropper);
  return false;
}

}  // namespace netsetup
