#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "config/SettingsFile.h"
#include "config/SettingsLocation.h"
#include "netblock/NetworkSettings.h"
#include "window/Messages.h"
#include "window/win32/Layout.h"

namespace netsetup {

class Tmod07;
struct ActionOutcome;
struct LinkChoice;

// The tool's one window: link settings, the instrument's network settings in three boxes, and
// the two action buttons. Laid out in 96-dpi pixels and scaled once for the screen. The
// controls are children of the window itself (ControlIds.h), placed at their box's position
// plus their own, so one window procedure gets every notification.
class TMainFrm : private Messages {
 public:
  // `title` captions the message boxes.
  TMainFrm(Tmod07& link, std::wstring title, SettingsLocation settings);
  ~TMainFrm() override;
  TMainFrm(const TMainFrm&) = delete;
  TMainFrm& operator=(const TMainFrm&) = delete;

  // Creates the window and its controls, loads the settings file, shows the window.
  bool create(HINSTANCE instance, int showCommand);
  HWND handle() const { return window_; }

  // For the message loop, before IsDialogMessageW: Enter on a focused push button clicks it.
  bool takeEnterOnButton(const MSG& message);

  // Copy between the record's fields and the controls.
  void DecodeSettings(const NetworkFields& fields);
  NetworkFields EncodeSettings() const;

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void onCommand(int id, int code);
  // The system's message boxes, owned by the window.
  void showMessage(const std::string& text, const std::string& details) override;
  void showError(const std::string& text) override;

  void cb_DHCPClick();
  void btn_readClick();
  void btn_writeClick();
  void FormCreate();
  bool FormClose();
  void closeRequested();
  LinkChoice linkChoice() const;
  // Runs an action with the window blocked, shows its outcome, then carries out a close that
  // was asked for meanwhile.
  void runAction(const std::function<ActionOutcome()>& action, bool showFields);

  HWND item(int id) const { return ::GetDlgItem(window_, id); }
  std::string text(int id) const;
  void setText(int id, const std::string& utf8);
  bool checked(int id) const;
  int selection(int id) const;
  void select(int id, int index);

  Tmod07& link_;
  std::wstring title_;
  SettingsFile settings_;
  Scale scale_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  HWND focus_ = nullptr;  // the control to give the focus back to on activation
  std::wstring tipText_;
  bool saveFailed_ = false;
  bool saving_ = false;
  bool actionRunning_ = false;
  bool closePending_ = false;
};

}  // namespace netsetup
