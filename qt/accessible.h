#pragma once

#include <QRadioButton>
#include <QWidget>

namespace qtui {

// What screen readers are told beyond what Qt's widgets tell them by themselves. Qt asks
// the factory installed by installAccessibleFactory for every object it describes.

// An option button of the window. Its access key selects it at once, before the focus
// arrives, so that a screen reader that speaks the newly focused option hears it selected.
// Screen readers hear the group it is in once, as its container, and not again as its
// label.
class OptionButton : public QRadioButton {
  Q_OBJECT
 public:
  using QRadioButton::QRadioButton;

 protected:
  bool event(QEvent* event) override;
};

// An announcement for screen readers: an object with no size and nothing to draw, which a
// screen reader speaks each time announce() shows it again with its text, whatever has the
// focus and even when the text is the same as the last time.
class Announcement : public QWidget {
  Q_OBJECT
 public:
  explicit Announcement(QWidget* parent);
  void announce(const QString& text);
};

// Installs the factory once per process: Form1 is a window with its title, an
// OptionButton a radio button whose label is its own caption, an Announcement a
// notification.
void installAccessibleFactory();

// True for an access key that only one control has: it acts at once.
bool isUnambiguousShortcut(const QEvent* event);

}  // namespace qtui
