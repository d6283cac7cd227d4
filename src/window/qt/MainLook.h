#pragma once
#include <QFont>

class QWidget;

namespace netsetup {

// Liberation Sans at 11 pixels, embedded in the program: the window was drawn for this font.
QFont windowFont();

// The window's font and its button-face background.
void applyWindowLook(QWidget& window);

}  // namespace netsetup
