#include "window/qt/MainLook.h"

#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

#include "window/Controls.h"

namespace netsetup {

QFont windowFont() {
  // The face the window was measured with ships inside the program, whatever fonts the machine has.
  static const bool embedded = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/LiberationSans-Regular.ttf")) >= 0;
  (void)embedded;
  QFont font(QStringLiteral("Liberation Sans"));
  font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(kMainFrm.fontHeight);
  return font;
}

void applyWindowLook(QWidget& window) {
  window.setFont(windowFont());
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::Button));
  window.setPalette(palette);
  window.setAutoFillBackground(true);
}

}  // namespace netsetup
