#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "window/Controls.h"
#include "window/Messages.h"
#include "window/WindowView.h"

namespace netsetup::testing {

// The window's controls as a toolkit holds them, made from the table, and the boxes. What the
// controller does besides setting controls goes into one log, in order: "busy", "idle",
// "take in", "message: TEXT", "details: TEXT", "error: TEXT", "close". A hook acts once at one
// of those points, as a user would while it happens.
class FakeView final : public WindowView, public Messages {
 public:
  struct Control {
    std::string text;
    bool checked = false;
    bool enabled = true;
    int selection = -1;
  };

  FakeView() {
    for (const ControlInfo& c : windowControls()) controls[c.id] = {c.caption, c.checked, c.enabled, c.selection};
  }

  std::string text(ControlId id) const override { return controls.at(id).text; }
  void setText(ControlId id, const std::string& utf8) override { controls.at(id).text = utf8; }
  bool checked(ControlId id) const override { return controls.at(id).checked; }
  void setChecked(ControlId id, bool checked) override { controls.at(id).checked = checked; }
  int selection(ControlId id) const override { return controls.at(id).selection; }
  // A list shows the entry it selects.
  void select(ControlId id, int index) override {
    const std::vector<std::string> entries = listItems(controlInfo(id).items);
    ASSERT_LT(index, static_cast<int>(entries.size())) << controlInfo(id).name;
    controls.at(id).selection = index;
    controls.at(id).text = index < 0 ? "" : entries.at(index);
  }
  void setEnabled(ControlId id, bool enabled) override { controls.at(id).enabled = enabled; }

  void setBusy(bool busy) override { note(busy ? "busy" : "idle"); }
  bool takeInWaitingInput() override {
    note("take in");
    return closeGestureWaiting;
  }
  void requestClose() override { note("close"); }
  void showMessage(const std::string& text, const std::string& details) override {
    note("message: " + text);
    if (!details.empty()) log.push_back("details: " + details);
  }
  void showError(const std::string& text) override { note("error: " + text); }

  std::map<int, Control> controls;
  std::vector<std::string> log;
  bool closeGestureWaiting = false;
  // Runs once, the first time the log gets an entry that starts with `hookAt` ("" for any).
  std::string hookAt;
  std::function<void()> hook;

 private:
  void note(const std::string& entry) {
    log.push_back(entry);
    if (!hook || entry.rfind(hookAt, 0) != 0) return;
    const std::function<void()> once = std::move(hook);
    hook = nullptr;
    once();
  }
};

}  // namespace netsetup::testing
