#pragma once
#include <windows.h>

#include <string>

#include "config/SettingsLocation.h"
#include "window/Messages.h"
#include "window/WindowController.h"
#include "window/WindowView.h"
#include "window/win32/Layout.h"

namespace netsetup {

class Tmod07;

inline constexpr wchar_t kWindowClass[] = L"TMainFrm";
// The window's system menu item that shows its version and settings file, and its command: below
// 0xF000, where the system's own start, and a multiple of 16, as WM_SYSCOMMAND keeps only those bits.
inline constexpr wchar_t kAboutItem[] = L"О программе netsetup";
inline constexpr UINT kAboutCommand = 0x0010;

// The tool's one window on the Win32 API: the controls made from the window's table, their
// notifications handed to the controller, which holds the behaviour. The controls are children of
// the window itself, placed at their box's position plus their own, so one window procedure gets
// every notification; their dialog IDs are the table's. Laid out in 96-dpi pixels and scaled once
// for the screen.
class TMainFrm : private WindowView, private Messages {
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

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void onCommand(int id, int code);
  HWND item(int id) const { return ::GetDlgItem(window_, id); }

  std::string text(ControlId id) const override;
  void setText(ControlId id, const std::string& utf8) override;
  bool checked(ControlId id) const override;
  void setChecked(ControlId id, bool checked) override;
  int selection(ControlId id) const override;
  void select(ControlId id, int index) override;
  void setEnabled(ControlId id, bool enabled) override;
  // Gives the link's radio group its tab stop on a button Tab can reach.
  void keepRadioTabStop();
  void setBusy(bool busy) override;
  bool takeInWaitingInput() override;
  // Carried out from the message loop rather than from inside the button's click.
  void requestClose() override { ::PostMessageW(window_, WM_CLOSE, 0, 0); }
  // The system's message boxes, owned by the window.
  void showMessage(const std::string& text, const std::string& details) override;
  void showError(const std::string& text) override;

  std::wstring title_;
  WindowController controller_;
  Scale scale_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  HWND focus_ = nullptr;      // the control to give the focus back to on activation
  HCURSOR cursor_ = nullptr;  // the one to put back after an action
  std::wstring tipText_;
};

}  // namespace netsetup
