#include "window/qt/MainLook.h"

#include <QPalette>
#include <QWidget>

namespace netsetup {

QFont windowFont() {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
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
