#pragma once
#include <QString>

namespace netsetup {

// The window's two ways of telling the user something. Tests record instead of showing.
class Messages {
 public:
  virtual ~Messages() = default;
  // The actions' message box: modal, no icon, one "OK", centred on the screen.
  virtual void showMessage(const QString& text) = 0;
  // The same box with a details part that the user may open: what the system said and what to
  // do about it. Without a way to show details, the message alone.
  virtual void showMessage(const QString& text, const QString& details) {
    (void)details;
    showMessage(text);
  }
  // The error box: stop icon, one "OK"; a final full stop is added where the text needs one.
  virtual void showError(const QString& text) = 0;
};

}  // namespace netsetup
