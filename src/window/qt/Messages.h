#pragma once
#include <QString>

namespace netsetup {

// The window's two ways of telling the user something. Tests record instead of showing.
class Messages {
 public:
  virtual ~Messages() = default;
  // The actions' message box: modal, no icon, one "OK", centred on the screen.
  virtual void showMessage(const QString& text) = 0;
  // The error box: stop icon, one "OK"; a final full stop is added where the text needs one.
  virtual void showError(const QString& text) = 0;
};

}  // namespace netsetup
