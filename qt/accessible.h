#pragma once

#include <QGroupBox>
#include <QRadioButton>
#include <QWidget>

namespace qtui {

// What screen readers are told beyond what Qt's widgets tell them by themselves. Qt asks
// the factory installed by installAccessibleFactory for every object it describes.

// A frame: a group box whose controls lie in its one child, contents(), a nameless plain
// widget over the whole box, so that they keep the places they have in the box. Screen
// readers then hear the frame's caption once when the focus enters its options: Orca 48
// names the options' group by the nearest named panel or filler around them and passes
// over, as mere layout, a panel labelled by its only child that is not a label; Orca 43
// names the group only as the panel around the options, and passes over fillers. So the
// box is a named panel labelled by its contents, and the contents a filler.
class Frame : public QGroupBox {
  Q_OBJECT
 public:
  Frame(const QString& caption, QWidget* parent);
  [[nodiscard]] QWidget* contents() const { return contents_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QWidget* contents_;
};

// The widget that a control inside `container` has as its parent: a frame's contents, or
// the container itself.
QWidget* contentsOf(QWidget* container);

// An option button of the window. Its access key selects it at once, before the focus
// arrives, so that a screen reader that speaks the newly focused option hears it selected.
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

// Installs the factory once per process: Form1 is a window with its title, a Frame a
// panel named by its caption and labelled by its contents, an OptionButton a radio button
// with its access key, an Announcement a notification.
void installAccessibleFactory();

// True for an access key that only one control has: it acts at once.
bool isUnambiguousShortcut(const QEvent* event);

}  // namespace qtui
