#pragma once
#include <string>

namespace netsetup {

// The window's two ways of telling the user something; texts are UTF-8. Each toolkit shows its
// own modal boxes, captioned with the application title; tests record instead of showing.
class Messages {
 public:
  virtual ~Messages() = default;
  // The actions' message box: no icon, one "OK", centred on the screen. `details`, when not
  // empty, says what the system said and what to do about it.
  virtual void showMessage(const std::string& text, const std::string& details) = 0;
  // The error box: stop icon, one "OK"; its text is errorBoxText(text).
  virtual void showError(const std::string& text) = 0;
};

// The error box's text: a full stop is added when the last character sorts after ".".
std::string errorBoxText(const std::string& message);

}  // namespace netsetup
