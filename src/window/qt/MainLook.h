#pragma once
#include <QFont>

class QWidget;

namespace netsetup {

// A sans-serif face with Cyrillic at 11 pixels: the window was drawn for such a font.
QFont windowFont();

// The window's font and its button-face background.
void applyWindowLook(QWidget& window);

}  // namespace netsetup
