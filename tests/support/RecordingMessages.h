#pragma once
#include <QString>
#include <QStringList>

#include "window/Messages.h"

namespace netsetup::testing {

// Records what the window would show, in order, as "message: ..." or "error: ...".
class RecordingMessages final : public Messages {
 public:
  void showMessage(const std::string& text, const std::string& details) override {
    shown << "message: " + QString::fromStdString(text);
    if (!details.empty()) this->details << QString::fromStdString(details);
  }
  void showError(const std::string& text) override { shown << "error: " + QString::fromStdString(text); }
  QStringList shown;
  QStringList details;
};

}  // namespace netsetup::testing
