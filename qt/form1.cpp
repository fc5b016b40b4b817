#include "qt/form1.h"

#include "qt/accessible.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QVersionNumber>
#include <algorithm>

namespace qtui {

namespace {

using runtime::ControlStatus;
using window::ControlKind;
using window::kFormName;
using window::nameOf;
using window::rowOf;
using window::rowsByTabIndex;

QRect qrect(const window::PixelRect& r) { return {r.left, r.top, r.width, r.height}; }

}  // namespace

window::PixelRect pixelsOf(std::size_t row) { return window::pixelsFromTwips(window::containerTwipsOf(row)); }
QRect pixelRect(std::size_t row) { return qrect(pixelsOf(row)); }

QWidget* createPlainControl(const ControlDescription& c, QWidget* container) {
  switch (c.kind) {
    case ControlKind::Frame: return new Frame(qtext(c.caption), container);
    case ControlKind::Label: return new QLabel(qtext(c.caption), container);
    default: return new QWidget(container);
  }
}

QString wrapCaption(const QString& caption, const QFontMetrics& metrics, int width) {
  const auto widthOf = [&](const QString& line) {
    return metrics.size(Qt::TextShowMnemonic, line).width();
  };
  if (widthOf(caption) <= width) return caption;
  // Two lines if they fit: the break at the space that makes the wider line narrowest.
  QString best;
  int bestWidth = width + 1;
  for (qsizetype space = caption.indexOf(QLatin1Char(' ')); space >= 0;
       space = caption.indexOf(QLatin1Char(' '), space + 1)) {
    const QString first = caption.left(space);
    const QString second = caption.mid(space + 1);
    const int wider = std::max(widthOf(first), widthOf(second));
    if (wider < bestWidth) {
      bestWidth = wider;
      best = first + QLatin1Char('\n') + second;
    }
  }
  if (!best.isEmpty()) return best;
  // Otherwise as many words a line as fit.
  QStringList lines;
  for (const QString& word : caption.split(QLatin1Char(' '))) {
    if (!lines.isEmpty() && widthOf(lines.back() + QLatin1Char(' ') + word) <= width) {
      lines.back() += QLatin1Char(' ') + word;
    } else {
      lines.append(word);
    }
  }
  return lines.join(QLatin1Char('\n'));
}

QString CommandButton::displayedText() const {
  QStyleOptionButton option;
  initStyleOption(&option);
  const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  return wrapCaption(text(), fontMetrics(), contents.width());
}

QSize CommandButton::sizeHint() const {
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text = displayedText();
  const QSize textSize = fontMetrics().size(Qt::TextShowMnemonic, option.text);
  return style()->sizeFromContents(QStyle::CT_PushButton, &option, textSize, this);
}

CommandButton::CommandButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
  // A click by other means while the access key is held is the one click. The access key's
  // own click comes once the key is no longer held, and so cancels nothing.
  connect(this, &QAbstractButton::clicked, this, [this] { follow(key_.cancelled()); });
  // The keys' repeats and releases, wherever the focus is: a shortcut's event says neither.
  qApp->installEventFilter(this);
}

bool CommandButton::event(QEvent* event) {
  if (isUnambiguousShortcut(event)) {
    const window::CommandKey::Effect effect = key_.pressed(lastPressRepeated_);
    if (effect == window::CommandKey::Effect::ShowDown) {
      heldKey_ = static_cast<QShortcutEvent*>(event)->key()[0].key();
    }
    follow(effect);
    return true;
  }
  return QPushButton::event(event);
}

bool CommandButton::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride:  // sent for every press before Qt looks for a shortcut
      lastPressRepeated_ = static_cast<QKeyEvent*>(event)->isAutoRepeat();
      break;
    case QEvent::KeyRelease:
      if (key_.held()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == heldKey_) follow(key_.released(key->isAutoRepeat()));
      }
      break;
    case QEvent::WindowDeactivate:
      if (watched == window()) follow(key_.cancelled());
      break;
    default: break;
  }
  return false;
}

void CommandButton::follow(window::CommandKey::Effect effect) {
  using Effect = window::CommandKey::Effect;
  switch (effect) {
    case Effect::None: return;
    case Effect::ShowDown: setDown(true); return;
    case Effect::ShowUp: setDown(false); return;
    case Effect::ShowUpAndClick:
      setDown(false);
      click();
      return;
  }
}

void CommandButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text = displayedText();
  painter.drawControl(QStyle::CE_PushButton, option);
}

TaxLabel::TaxLabel(QWidget* parent, const window::PixelRect& described) : QLabel(parent), described_(described) {
  setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void TaxLabel::setCaption(const QString& caption) {
  setText(caption);
  setGeometry(qrect(window::widenedTaxLabel(described_, sizeHint().width())));
}

Form1::Form1(window::ErrorReporter& reporter, QWidget* parent) : QWidget(parent), click_(*this, reporter) {
  installAccessibleFactory();

  setObjectName(qtext(kFormName));
  setWindowTitle(qtext(window::kFormCaption));
  resize(window::clientPixels().width, window::clientPixels().height);

  // The widgets by their rows in the table.
  Widgets widgets{};
  for (std::size_t row = 0; row < kForm1Controls.size(); ++row) {
    const ControlDescription& c = kForm1Controls[row];
    QWidget* widget = createControl(c, c.container == kFormName ? this : contentsOf(widgets[rowOf(c.container)]));
    widget->setObjectName(qtext(c.name));
    widget->setGeometry(pixelRect(row));
    widgets[row] = widget;
  }
  for (std::size_t row = 0; row < kForm1Controls.size(); ++row) {
    const ControlDescription& c = kForm1Controls[row];
    // A label names its control; a widget of another kind in a label's row has no buddy to set.
    auto* label = qobject_cast<QLabel*>(widgets[row]);
    if (label && !c.labels.empty()) label->setBuddy(widgets[rowOf(c.labels)]);
  }
  setTabOrderFromTheTable(widgets);
  taxAnnouncement_ = new Announcement(this);
  taxAnnouncement_->move(lblSalesTax_->pos());

  widgets[window::kFocusAtStartRow]->setFocus(Qt::OtherFocusReason);
}

QWidget* Form1::createControl(const ControlDescription& c, QWidget* container) {
  switch (c.kind) {
    case ControlKind::CommandButton: return createCommandButton(c, container);
    case ControlKind::TextBox: return createTextBox(c, container);
    case ControlKind::OptionButton: return createOptionButton(c, container);
    case ControlKind::TaxLabel: return createTaxLabel(c, container);
    default: return createPlainControl(c, container);
  }
}

CommandButton* Form1::createCommandButton(const ControlDescription& c, QWidget* container) {
  auto* button = new CommandButton(qtext(c.caption), container);
  button->setAutoDefault(false);
  button->setDefault(false);
  // A click leaves the focus in the price box, as the command puts it there anyway: a
  // screen reader then hears the tax, not the button and the price box again first.
  button->setFocusPolicy(Qt::TabFocus);
  connect(button, &QPushButton::clicked, this, [this] { click_(); });
  cmdCalculateSalesTax_ = button;
  return button;
}

QLineEdit* Form1::createTextBox(const ControlDescription& c, QWidget* container) {
  txtPrice_ = new QLineEdit(qtext(c.caption), container);
  txtPrice_->setMaxLength(window::kPriceMaxLength);
  return txtPrice_;
}

QRadioButton* Form1::createOptionButton(const ControlDescription& c, QWidget* container) {
  auto* button = new OptionButton(qtext(c.caption), container);
  button->setChecked(c.selectedAtStart);
  options_[calc::indexOf(c.state)] = button;
  return button;
}

TaxLabel* Form1::createTaxLabel(const ControlDescription& c, QWidget* container) {
  lblSalesTax_ = new TaxLabel(container, pixelsOf(rowOf(c.name)));
  lblSalesTax_->setText(qtext(c.caption));
  return lblSalesTax_;
}

// The tab order follows the tab indexes; labels and the frame take no focus and are passed
// over.
void Form1::setTabOrderFromTheTable(const Widgets& widgets) {
  QWidget* previous = nullptr;
  for (const std::size_t row : rowsByTabIndex()) {
    QWidget* widget = widgets[row];
    if (widget->focusPolicy() & Qt::TabFocus) {
      if (previous) setTabOrder(previous, widget);
      previous = widget;
    }
  }
}

// The tax is spoken once: the price box's description always holds it, for "where am I";
// a change of it is spoken where Qt sends the new text with the change (6.8, Debian 13), as
// screen readers speak a new description of the focused control; where Qt sends only the
// object (6.4, Debian 12), and for the same tax again, which changes nothing, the
// notification speaks it.
void Form1::announceTax(runtime::TextView description) {
  static const bool changeIsSpoken = QLibraryInfo::version() >= QVersionNumber(6, 8);
  const QString text = qtext(description);
  const bool changed = txtPrice_ && txtPrice_->accessibleDescription() != text;
  if (changed) txtPrice_->setAccessibleDescription(text);  // Qt would send an unchanged one too
  if (!(changed && changeIsSpoken)) taxAnnouncement_->announce(text);
}

void Form1::selectPriceForCorrection() {
  // With no window manager to hand the focus back from the closed report, the window takes
  // it itself.
  activateWindow();
  if (txtPrice_) {
    txtPrice_->setFocus(Qt::OtherFocusReason);
    txtPrice_->selectAll();
  }
}

runtime::ControlStatus Form1::readSelected(calc::State state, bool& selected) {
  const QRadioButton* button = option(state);
  if (!button) return ControlStatus::gone(nameOf(ControlKind::OptionButton, state));
  selected = button->isChecked();
  return {};
}

runtime::ControlStatus Form1::readPriceText(runtime::Text& text) {
  if (!txtPrice_) return ControlStatus::gone(nameOf(ControlKind::TextBox));
  text = txtPrice_->text().toStdU16String();
  return {};
}

runtime::ControlStatus Form1::setPriceText(runtime::TextView text) {
  if (!txtPrice_) return ControlStatus::gone(nameOf(ControlKind::TextBox));
  txtPrice_->setText(qtext(text));
  return {};
}

runtime::ControlStatus Form1::focusPrice() {
  if (!txtPrice_) return ControlStatus::gone(nameOf(ControlKind::TextBox));
  txtPrice_->setFocus(Qt::OtherFocusReason);
  return {};
}

runtime::ControlStatus Form1::setTaxCaption(runtime::TextView text) {
  if (!lblSalesTax_) return ControlStatus::gone(nameOf(ControlKind::TaxLabel));
  lblSalesTax_->setCaption(qtext(text));
  return {};
}

}  // namespace qtui
