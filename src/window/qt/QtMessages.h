#pragma once
#include <QString>

#include "window/Messages.h"

namespace netsetup {

// Executable name without folder, cut at the first ".", all but the first character lower case.
QString applicationTitle(const QString& executablePath);

// Real modal dialogs, captioned with the application title.
class QtMessages final : public Messages {
 public:
  QtMessages();
  void showMessage(const std::string& text, const std::string& details) override;
  void showError(const std::string& text) override;

 private:
  QString title_;
};

}  // namespace netsetup
