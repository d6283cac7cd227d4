#pragma once
#include <QString>
#include <QStringList>

#include "window/qt/Messages.h"

namespace netsetup::testing {

// Records what the window would show, in order, as "message: ..." or "error: ...".
class RecordingMessages final : public Messages {
 public:
  void showMessage(const QString& text) override { shown << "message: " + text; }
  void showError(const QString& text) override { shown << "error: " + text; }
  QStringList shown;
};

}  // namespace netsetup::testing
