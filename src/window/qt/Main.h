#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <map>
#include <string>

#include "config/SettingsLocation.h"
#include "window/Controls.h"
#include "window/WindowController.h"
#include "window/WindowView.h"

class QCloseEvent;

namespace netsetup {

class Messages;
class Tmod07;

// The tool's one window on Qt 6 Widgets: the controls made from the window's table, their events
// handed to the controller, which holds the behaviour. Laid out in 96-dpi pixels; Qt scales it
// with the screen.
class TMainFrm : public QWidget, private WindowView {
  Q_OBJECT

 public:
  TMainFrm(Tmod07& link, Messages& messages, SettingsLocation settings, QWidget* parent = nullptr);
  TMainFrm(Tmod07& link, Messages& messages, const std::string& settingsPath, QWidget* parent = nullptr)
      : TMainFrm(link, messages, SettingsLocation{settingsPath, settingsPath}, parent) {}
  ~TMainFrm() override;

  WindowController& controller() { return controller_; }
  using QWidget::setEnabled;  // not hidden by the view's setEnabled(ControlId, bool)

 private:
  // Made first, so that the named members below can be looked up in it.
  std::map<int, QWidget*> controls_ = createControls(*this);
  static std::map<int, QWidget*> createControls(TMainFrm& window);
  template <class W>
  W* control(ControlId id) const {
    return static_cast<W*>(controls_.at(id));
  }

 public:
  // The controls, made from the window's table and named as there.
  QGroupBox* const GroupBox1 = control<QGroupBox>(ids::GroupBox1);
  QRadioButton* const RBSerial = control<QRadioButton>(ids::RBSerial);
  QRadioButton* const RBIP = control<QRadioButton>(ids::RBIP);
  QComboBox* const CBBaud = control<QComboBox>(ids::CBBaud);
  QComboBox* const CBPort = control<QComboBox>(ids::CBPort);
  QLineEdit* const EIP = control<QLineEdit>(ids::EIP);
  QLineEdit* const EPort = control<QLineEdit>(ids::EPort);
  QLineEdit* const ed_net_addr = control<QLineEdit>(ids::ed_net_addr);
  QLabel* const Label1 = control<QLabel>(ids::Label1);
  QLabel* const Label12 = control<QLabel>(ids::Label12);

  QGroupBox* const GroupBox2 = control<QGroupBox>(ids::GroupBox2);
  QLineEdit* const ip_ivb = control<QLineEdit>(ids::ip_ivb);
  QCheckBox* const cb_DHCP = control<QCheckBox>(ids::cb_DHCP);
  QLineEdit* const ip_mask = control<QLineEdit>(ids::ip_mask);
  QLineEdit* const ip_gate = control<QLineEdit>(ids::ip_gate);
  QLineEdit* const ip_port = control<QLineEdit>(ids::ip_port);
  QLabel* const Label2 = control<QLabel>(ids::Label2);
  QLabel* const Label3 = control<QLabel>(ids::Label3);
  QLabel* const Label4 = control<QLabel>(ids::Label4);
  QLabel* const Label5 = control<QLabel>(ids::Label5);

  QGroupBox* const GroupBox3 = control<QGroupBox>(ids::GroupBox3);
  QLineEdit* const srv_addr = control<QLineEdit>(ids::srv_addr);
  QLineEdit* const srv_port = control<QLineEdit>(ids::srv_port);
  QLabel* const Label6 = control<QLabel>(ids::Label6);
  QLabel* const Label7 = control<QLabel>(ids::Label7);

  QGroupBox* const GroupBox4 = control<QGroupBox>(ids::GroupBox4);
  QLineEdit* const apn_name = control<QLineEdit>(ids::apn_name);
  QLineEdit* const apn_login = control<QLineEdit>(ids::apn_login);
  QLineEdit* const apn_pass = control<QLineEdit>(ids::apn_pass);
  QComboBox* const cb_AuthType = control<QComboBox>(ids::cb_AuthType);
  QLabel* const Label8 = control<QLabel>(ids::Label8);
  QLabel* const Label9 = control<QLabel>(ids::Label9);
  QLabel* const Label10 = control<QLabel>(ids::Label10);
  QLabel* const Label11 = control<QLabel>(ids::Label11);

  QPushButton* const btn_read = control<QPushButton>(ids::btn_read);
  QPushButton* const btn_write = control<QPushButton>(ids::btn_write);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::string text(ControlId id) const override;
  void setText(ControlId id, const std::string& utf8) override;
  bool checked(ControlId id) const override;
  void setChecked(ControlId id, bool checked) override;
  int selection(ControlId id) const override;
  void select(ControlId id, int index) override;
  void setEnabled(ControlId id, bool enabled) override;
  void setBusy(bool busy) override;
  bool takeInWaitingInput() override;
  void requestClose() override { close(); }

  WindowController controller_;
};

}  // namespace netsetup
