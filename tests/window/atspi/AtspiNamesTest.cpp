// The window as a screen reader on Linux meets it: over AT-SPI, from outside the program, which
// runs on an X display with its accessibility bridge on (run by ctest under dbus-run-session
// and xvfb-run).
#include <atspi/atspi.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/AccessibleNames.h"
#include "support/TempDir.h"

namespace netsetup::testing {
namespace {

// The GLib strings and objects libatspi hands out, freed when they go.
std::string take(gchar* text) {
  std::string out = text ? text : "";
  g_free(text);
  return out;
}

std::string roleOf(AtspiAccessible* a) { return take(atspi_accessible_get_role_name(a, nullptr)); }
std::string nameOf(AtspiAccessible* a) { return take(atspi_accessible_get_name(a, nullptr)); }

// Qt on Linux names a list by its value and gives its label as the "labelled by" relation, the
// one screen readers read: the first label among its targets (a group box is one too).
std::string labelOf(AtspiAccessible* a) {
  std::string label;
  GArray* relations = atspi_accessible_get_relation_set(a, nullptr);
  for (guint i = 0; relations && i < relations->len && label.empty(); ++i) {
    AtspiRelation* relation = g_array_index(relations, AtspiRelation*, i);
    if (atspi_relation_get_relation_type(relation) != ATSPI_RELATION_LABELLED_BY) continue;
    for (gint t = 0; t < atspi_relation_get_n_targets(relation) && label.empty(); ++t) {
      AtspiAccessible* target = atspi_relation_get_target(relation, t);
      if (roleOf(target) == "label") label = nameOf(target);
      g_object_unref(target);
    }
  }
  for (guint i = 0; relations && i < relations->len; ++i) g_object_unref(g_array_index(relations, AtspiRelation*, i));
  if (relations) g_array_free(relations, TRUE);
  return label;
}

// The names of the edits and lists under `a`, in the window's order; the edit inside an
// editable list is the list's own.
void collect(AtspiAccessible* a, std::vector<std::string>& names) {
  const std::string role = roleOf(a);
  if (role == "text") {
    names.push_back(nameOf(a));
    return;
  }
  if (role == "combo box") {
    names.push_back(labelOf(a));
    return;
  }
  for (gint i = 0, n = atspi_accessible_get_child_count(a, nullptr); i < n; ++i) {
    AtspiAccessible* child = atspi_accessible_get_child_at_index(a, i, nullptr);
    if (!child) continue;
    collect(child, names);
    g_object_unref(child);
  }
}

AtspiAccessible* findApplication(const std::string& name) {
  AtspiAccessible* desktop = atspi_get_desktop(0);
  AtspiAccessible* found = nullptr;
  for (gint i = 0, n = atspi_accessible_get_child_count(desktop, nullptr); i < n && !found; ++i) {
    AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
    if (app && nameOf(app) == name && atspi_accessible_get_child_count(app, nullptr) > 0) {
      found = app;
    } else if (app) {
      g_object_unref(app);
    }
  }
  g_object_unref(desktop);
  return found;
}

TEST(AtspiNames, EveryEditAndListHasItsOwnName) {
  ASSERT_EQ(atspi_init(), 0);
  TempDir home;
  const pid_t window = ::fork();
  if (window == 0) {
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1", 1);
    ::execl(NETSETUP_WINDOW, NETSETUP_WINDOW, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  AtspiAccessible* app = nullptr;
  for (int tries = 0; tries < 200 && !app; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    app = findApplication("netsetup");
  }
  std::vector<std::string> names;
  if (app) collect(app, names);
  ::kill(window, SIGTERM);
  ::waitpid(window, nullptr, 0);
  ASSERT_NE(app, nullptr) << "the window never appeared on the accessibility bus";
  g_object_unref(app);
  expectAccessibleNames(names);
}

}  // namespace
}  // namespace netsetup::testing
