#pragma once
#include <QString>
#include <QStringList>

#include "window/qt/Messages.h"

namespace netsetup::testing {

// Records what the window would show, in order, as "message: ..." or "error: ...".
class RecordingMessages final : public Messages {
 public:
  void showMessage(const QString& text) override { shown << "message: " + text; }
  void showMessage(const QString& text, const QString& details) override {
    showMessage(text);
    if (!details.isEmpty()) this->details << details;
  }
  void showError(const QString& text) override { shown << "error: " + text; }
  QStringList shown;
  QStringList details;
};

}  // namespace netsetup::testing
