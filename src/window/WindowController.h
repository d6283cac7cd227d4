#pragma once
#include <functional>
#include <string>

#include "config/SettingsFile.h"
#include "netblock/NetworkSettings.h"
#include "window/Controls.h"

namespace netsetup {

class Messages;
class Tmod07;
class WindowView;
struct ActionOutcome;
struct LinkChoice;

// Which device a port list entry opens: the one the settings file's [Ports] names for it, or the
// system's port of that name (Windows, where [Ports] names Linux devices).
enum class SerialDevices { FromSettingsFile, System };

// The window's behaviour, once for both toolkits: loading and saving the link settings, the DHCP
// rule, the two actions and what they show, and closing. A toolkit makes the controls from the
// table in Controls.h, hands their events here and lets the controller work them through
// WindowView and Messages.
class WindowController {
 public:
  WindowController(Tmod07& link, WindowView& view, Messages& messages, SettingsLocation settings,
                   SerialDevices devices);

  // Once the controls exist: the settings file's link settings go into them.
  void FormCreate();
  // The window is asked to close, by the user, the system or requestClose(). Saves the link
  // settings and says whether the window may close now.
  bool FormClose();

  void cb_DHCPClick();
  void btn_readClick();
  void btn_writeClick();

  // Copy between the record's fields and the controls.
  void DecodeSettings(const NetworkFields& fields);
  NetworkFields EncodeSettings() const;

  // The device port list entry `entry` (0 for COM1) opens, for its tip.
  std::string portDevice(int entry) const;

  // What the window's "about" box says: the version and the settings file in use.
  std::string about(std::string_view version) const;

 private:
  bool saveSettings();
  LinkChoice linkChoice() const;
  // One action at a time, with the window busy; then its outcome, then a close asked for meanwhile.
  void runAction(const std::function<ActionOutcome()>& action, bool showFields);
  // An index outside the list leaves it without a selection.
  void selectIn(ControlId list, int index);

  Tmod07& link_;
  WindowView& view_;
  Messages& messages_;
  SettingsFile settings_;
  SerialDevices devices_;
  bool saveFailed_ = false;
  bool showingSaveError_ = false;
  bool actionRunning_ = false;
  bool closePending_ = false;
};

}  // namespace netsetup
