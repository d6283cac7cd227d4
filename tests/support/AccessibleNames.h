#pragma once
// What a screen reader calls the window's edits and lists, as each toolkit tells it, against the
// window's table: every one its own name, none a group box's caption.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "window/Controls.h"

namespace netsetup::testing {

// `shown` holds the names the toolkit gives, in the table's order of accessibleNames().
inline void expectAccessibleNames(const std::vector<std::string>& shown) {
  std::vector<std::string> expected;
  for (const AccessibleName& row : accessibleNames()) expected.push_back(accessibleName(row.control));
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end()).size(), shown.size()) << "two controls share a name";
  size_t inputs = 0;
  for (const ControlInfo& c : windowControls()) {
    const bool input = c.kind == ControlKind::Edit || c.kind == ControlKind::List || c.kind == ControlKind::EditableList;
    inputs += input;
    if (c.kind == ControlKind::Group) {
      for (const std::string& name : shown) EXPECT_NE(name, c.caption) << "a group's caption as a control's name";
    }
  }
  EXPECT_EQ(shown.size(), inputs) << "an edit or list without a name";
}

}  // namespace netsetup::testing
