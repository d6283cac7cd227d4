#pragma once
#include <QString>

#include "window/qt/Messages.h"

namespace netsetup {

// Executable name without folder, cut at the first ".", all but the first character lower case.
QString applicationTitle(const QString& executablePath);

// The error box's text: a full stop is added when the last character sorts after ".".
QString errorBoxText(const QString& message);

// Real modal dialogs, captioned with the application title.
class QtMessages final : public Messages {
 public:
  QtMessages();
  void showMessage(const QString& text) override;
  void showMessage(const QString& text, const QString& details) override;
  void showError(const QString& text) override;

 private:
  QString title_;
};

}  // namespace netsetup
