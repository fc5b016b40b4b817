#include "qt/appearance.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <algorithm>

namespace qtui {

namespace {

// The outline of the parts of controls a user must see to use them (the option circles and
// the price box's border): halfway between the palette's text and its background, which
// stands out from the background by 3:1 or more in light and dark palettes alike, where
// Fusion's own outline, the background a little darker, fades in a dark one.
// The active colours are taken whether or not the window is active: some platform themes
// (Qt 6.8's GTK theme) fade an inactive window's text towards its background.
QColor outlineFor(const QPalette& palette) {
  const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
  const QColor back = palette.color(QPalette::Active, QPalette::Window);
  return QColor((text.red() + back.red()) / 2, (text.green() + back.green()) / 2, (text.blue() + back.blue()) / 2);
}

// Fusion, but for the option circles and the price box's border, drawn in that outline, and
// the group box's frame, drawn as a plain line where Fusion scales a cached pixmap on Qt's
// thread pool (two more threads, for one frame).
class CalculatorStyle : public QProxyStyle {
 public:
  CalculatorStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

  // The window reads the same whether or not it is active, as the desktop's palette has it
  // for an active window: Qt 6.8's GTK theme gives an inactive one GTK's faded "backdrop"
  // text, which leaves the states' captions below 3:1. Applied to the desktop's palette
  // whenever it changes, so the window still follows a switch between light and dark.
  void polish(QPalette& palette) override {
    QProxyStyle::polish(palette);
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
      const auto r = static_cast<QPalette::ColorRole>(role);
      palette.setColor(QPalette::Inactive, r, palette.color(QPalette::Active, r));
    }
  }
  using QProxyStyle::polish;

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    switch (element) {
      case PE_IndicatorRadioButton: return drawOptionCircle(*option, *painter);
      case PE_FrameLineEdit: return drawBorder(*option, *painter, option->state & State_HasFocus);
      case PE_FrameGroupBox: return drawGroupFrame(*option, *painter, widget);
      default: QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
  }

 private:
  static void drawOptionCircle(const QStyleOption& option, QPainter& painter) {
    const QPalette& palette = option.palette;
    const bool enabled = option.state & State_Enabled;
    const QRectF circle = QRectF(option.rect).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(option.state & State_HasFocus ? palette.color(QPalette::Highlight) : outlineFor(palette), 1));
    painter.setBrush(palette.color(enabled ? QPalette::Base : QPalette::Window));
    painter.drawEllipse(circle);
    if (option.state & State_On) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(palette.color(QPalette::Text));
      const qreal inset = circle.width() * 0.3;
      painter.drawEllipse(circle.adjusted(inset, inset, -inset, -inset));
    }
    painter.restore();
  }

  static void drawBorder(const QStyleOption& option, QPainter& painter, bool focused) {
    painter.save();
    painter.setPen(focused ? option.palette.color(QPalette::Highlight) : outlineFor(option.palette));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(option.rect.adjusted(0, 0, -1, -1));
    painter.restore();
  }

  // Where Fusion puts it: below the title, with rounded corners. The frame's rectangle starts
  // at the top of the box (Qt 6.4) or already below the title (Qt 6.8); either way the line
  // lies the title's height and a gap below the box's top.
  void drawGroupFrame(const QStyleOption& option, QPainter& painter, const QWidget* widget) const {
    constexpr int kTitleGap = 3;
    const int belowTitle =
        std::max(pixelMetric(PM_ExclusiveIndicatorHeight, &option, widget), option.fontMetrics.height()) + kTitleGap;
    QRect frame = option.rect;
    frame.setTop(std::max(frame.top(), belowTitle));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(option.palette.color(QPalette::Window).darker(140));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(frame).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    painter.restore();
  }
};

}  // namespace

void applyAppearance() {
  QApplication::setStyle(new CalculatorStyle);  // the application owns it
  // Sized in pixels like the layout, so captions keep their proportion to the controls at
  // any dpi and scale factor; Liberation Sans has the narrow metrics the layout was drawn for.
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(11);
  font.setStyleHint(QFont::SansSerif);
  QApplication::setFont(font);
}

}  // namespace qtui
