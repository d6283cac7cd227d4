#pragma once
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "config/SettingsLocation.h"
#include "netblock/NetworkSettings.h"

class QCheckBox;
class QCloseEvent;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace netsetup {

class Messages;
class SettingsFile;
struct ActionOutcome;
struct LinkChoice;
class Tmod07;

// The tool's one window: link settings, the instrument's network settings in three boxes,
// and the two action buttons. Laid out in 96-dpi pixels; Qt scales it with the screen.
class TMainFrm : public QWidget {
  Q_OBJECT

 public:
  TMainFrm(Tmod07& link, Messages& messages, SettingsLocation settings, QWidget* parent = nullptr);
  TMainFrm(Tmod07& link, Messages& messages, const std::string& settingsPath, QWidget* parent = nullptr)
      : TMainFrm(link, messages, SettingsLocation{settingsPath, settingsPath}, parent) {}
  ~TMainFrm() override;

  QGroupBox* GroupBox1;
  QRadioButton* RBSerial;
  QRadioButton* RBIP;
  QComboBox* CBBaud;
  QComboBox* CBPort;
  QLineEdit* EIP;
  QLineEdit* EPort;
  QLineEdit* ed_net_addr;
  QLabel* Label1;
  QLabel* Label12;

  QGroupBox* GroupBox2;
  QLineEdit* ip_ivb;
  QCheckBox* cb_DHCP;
  QLineEdit* ip_mask;
  QLineEdit* ip_gate;
  QLineEdit* ip_port;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;

  QGroupBox* GroupBox3;
  QLineEdit* srv_addr;
  QLineEdit* srv_port;
  QLabel* Label6;
  QLabel* Label7;

  QGroupBox* GroupBox4;
  QLineEdit* apn_name;
  QLineEdit* apn_login;
  QLineEdit* apn_pass;
  QComboBox* cb_AuthType;
  QLabel* Label8;
  QLabel* Label9;
  QLabel* Label10;
  QLabel* Label11;

  QPushButton* btn_read;
  QPushButton* btn_write;

 public slots:
  void cb_DHCPClick();
  void btn_readClick();
  void btn_writeClick();

 public:
  // Copy between the record's fields and the controls.
  void DecodeSettings(const NetworkFields& fields);
  NetworkFields EncodeSettings() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls();
  void FormCreate();
  bool FormClose();
  LinkChoice linkChoice() const;
  // Runs an action with the window blocked, shows its outcome, then carries out a close that
  // was asked for meanwhile.
  void runAction(const std::function<ActionOutcome()>& action, bool showFields);

  Tmod07& link_;
  Messages& messages_;
  std::unique_ptr<SettingsFile> settings_;
  bool saveFailed_ = false;
  bool actionRunning_ = false;
  bool closePending_ = false;
};

}  // namespace netsetup
