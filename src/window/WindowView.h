#pragma once
#include <string>

#include "window/Controls.h"

namespace netsetup {

// What the window's controller asks of a toolkit: the controls made from the table, by ID, and
// the few things only the toolkit can do. Texts are UTF-8. Changes made here are silent: the
// controller runs itself whatever follows from them.
class WindowView {
 public:
  virtual ~WindowView() = default;

  // An edit's text, or the text an editable list shows.
  virtual std::string text(ControlId id) const = 0;
  virtual void setText(ControlId id, const std::string& utf8) = 0;
  virtual bool checked(ControlId id) const = 0;
  virtual void setChecked(ControlId id, bool checked) = 0;
  // A list's selected entry, -1 for none.
  virtual int selection(ControlId id) const = 0;
  virtual void select(ControlId id, int index) = 0;
  virtual void setEnabled(ControlId id, bool enabled) = 0;

  // The pointer says the window is busy while an action talks to the instrument.
  virtual void setBusy(bool busy) = 0;
  // Handles what waited in the toolkit's queue during an action, before a box opens: a close
  // asked for there reaches WindowController::FormClose, and mouse and keyboard input is dropped
  // as the box would drop it. Returns whether that dropped input was itself a gesture to close.
  virtual bool takeInWaitingInput() = 0;
  // Asks the toolkit to close the window; the request comes back through FormClose.
  virtual void requestClose() = 0;
};

}  // namespace netsetup
