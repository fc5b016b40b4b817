#include "qt/accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeySequence>
#include <QShortcutEvent>

#include "qt/form1.h"

namespace qtui {

namespace {

// The caption without its access-key markers: "&&" stands for one '&'.
QString withoutMarkers(const QString& caption) {
  QString text;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == QLatin1Char('&') && ++i == caption.size()) break;
    text += caption[i];
  }
  return text;
}

// A radio button, as Qt describes one, except that its label is its caption alone: Qt also
// names the group box around it as its label, and screen readers then say the group's name
// once as the container and again as the option's label.
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

  QList<std::pair<QAccessibleInterface*, QAccessible::Relation>> relations(
      QAccessible::Relation match) const override {
    auto all = QAccessibleWidget::relations(match);
    const QWidget* container = button()->parentWidget();
    all.removeIf([container](const auto& relation) {
      return relation.second.testFlag(QAccessible::Label) && relation.first->object() == container;
    });
    return all;
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
