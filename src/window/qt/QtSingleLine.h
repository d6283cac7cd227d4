#pragma once

class QLineEdit;
class QPushButton;

namespace netsetup {

// Makes `edit` behave as a single-line edit should: of pasted or dropped text only the first
// line is kept, and no control character gets in. Also lifts Qt's default limit of 32,767
// characters, so a long paste is refused by the field's own checks rather than cut silently.
void keepSingleLine(QLineEdit& edit);

// A focused push button takes Return and the keypad's Enter as a click, without becoming the
// window's default button.
void clickOnEnter(QPushButton& button);

}  // namespace netsetup
