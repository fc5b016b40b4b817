#include "qt/accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeySequence>
#include <QShortcutEvent>

#include "qt/form1.h"

namespace qtui {

namespace {

// The caption as shown, without its access-key markers.
QString withoutMarkers(const QString& caption) {
  return QString::fromStdU16String(window::shownCaption(caption.toStdU16String()));
}

// A frame: a panel named by its caption without markers, and labelled by its contents.
class AccessibleFrame : public QAccessibleWidget {
 public:
  explicit AccessibleFrame(Frame* frame) : QAccessibleWidget(frame, QAccessible::Grouping) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && frame()->accessibleName().isEmpty()) return withoutMarkers(frame()->title());
    return QAccessibleWidget::text(t);
  }

  QList<std::pair<QAccessibleInterface*, QAccessible::Relation>> relations(
      QAccessible::Relation match) const override {
    auto all = QAccessibleWidget::relations(match);
    if (match.testFlag(QAccessible::Label)) {
      all.append({QAccessible::queryAccessibleInterface(frame()->contents()), QAccessible::Label});
    }
    return all;
  }

 private:
  Frame* frame() const { return static_cast<Frame*>(widget()); }
};

// A frame's contents: a filler with no name. Qt would name it by the box's caption.
class AccessibleContents : public QAccessibleWidget {
 public:
  explicit AccessibleContents(QWidget* contents) : QAccessibleWidget(contents, QAccessible::Client) {}
  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name ? QString() : QAccessibleWidget::text(t);
  }
};

bool isFrameContents(const QWidget* widget) {
  const auto* frame = qobject_cast<const Frame*>(widget->parentWidget());
  return frame && frame->contents() == widget;
}

// A radio button, as Qt describes one, with its access key.
class AccessibleOption : public QAccessibleWidget {
 public:
  explicit AccessibleOption(QRadioButton* button) : QAccessibleWidget(button, QAccessible::RadioButton) {
    addControllingSignal(QStringLiteral("toggled(bool)"));
  }

  QString text(QAccessible::Text t) const override {
    switch (t) {
      case QAccessible::Name:
        return button()->accessibleName().isEmpty() ? withoutMarkers(button()->text())
                                                    : button()->accessibleName();
      case QAccessible::Accelerator:
        return QKeySequence::mnemonic(button()->text()).toString(QKeySequence::NativeText);
      default: return QAccessibleWidget::text(t);
    }
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = button()->isChecked();
    return s;
  }

  QStringList actionNames() const override {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action == pressAction()) {
      button()->click();
    } else {
      QAccessibleWidget::doAction(action);
    }
  }

 private:
  QRadioButton* button() const { return static_cast<QRadioButton*>(widget()); }
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object) {
  if (!object->isWidgetType()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  if (className == QLatin1String(Form1::staticMetaObject.className())) {
    return new QAccessibleWidget(widget, QAccessible::Window);
  }
  if (className == QLatin1String(Frame::staticMetaObject.className())) {
    return new AccessibleFrame(static_cast<Frame*>(widget));
  }
  if (isFrameContents(widget)) return new AccessibleContents(widget);
  if (className == QLatin1String(OptionButton::staticMetaObject.className())) {
    return new AccessibleOption(static_cast<OptionButton*>(widget));
  }
  if (className == QLatin1String(Announcement::staticMetaObject.className())) {
    return new QAccessibleWidget(widget, QAccessible::Notification);
  }
  return nullptr;
}

}  // namespace

bool isUnambiguousShortcut(const QEvent* event) {
  return event->type() == QEvent::Shortcut && !static_cast<const QShortcutEvent*>(event)->isAmbiguous();
}

Frame::Frame(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent), contents_(new QWidget(this)) {}

void Frame::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  contents_->setGeometry(rect());
}

QWidget* contentsOf(QWidget* container) {
  auto* frame = qobject_cast<Frame*>(container);
  return frame ? frame->contents() : container;
}

bool OptionButton::event(QEvent* event) {
  if (isUnambiguousShortcut(event)) {
    click();
    setFocus(Qt::ShortcutFocusReason);
    return true;
  }
  return QRadioButton::event(event);
}

Announcement::Announcement(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  resize(0, 0);
}

void Announcement::announce(const QString& text) {
  // Screen readers speak a notification when it is shown; hiding it first makes every
  // announcement a new showing.
  hide();
  setAccessibleName(text);
  show();
}

void installAccessibleFactory() {
  static const bool installed = (QAccessible::installFactory(accessibleFactory), true);
  (void)installed;
}

}  // namespace qtui
