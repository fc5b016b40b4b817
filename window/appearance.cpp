#include "window/appearance.h"

#include <QApplication>
#include <QFont>
#include <QStyle>
#include <QStyleFactory>

namespace window {

void applyAppearance() {
  // Where Fusion is already the platform's choice, creating it again would only cost start-up.
  if (QApplication::style()->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) != 0) {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  }
  // Sized in pixels like the layout, so captions keep their proportion to the controls at
  // any dpi and scale factor; Liberation Sans has the narrow metrics the layout was drawn for.
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(11);
  font.setStyleHint(QFont::SansSerif);
  QApplication::setFont(font);
}

}  // namespace window
