#include "window/appearance.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

namespace window {

void applyAppearance(QApplication& app) {
  app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  // Sized in pixels like the layout, so captions keep their proportion to the controls at
  // any dpi and scale factor; Liberation Sans has the narrow metrics the layout was drawn for.
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(11);
  font.setStyleHint(QFont::SansSerif);
  app.setFont(font);
}

}  // namespace window
