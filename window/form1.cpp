#include "window/form1.h"

#include <QGroupBox>
#include <QHash>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>
#include <map>

#include "window/form1_description.h"

namespace window {

namespace {

QString qtext(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QRect pixelRect(const ControlDescription& c) {
  const int left = pixelsFromTwips(c.left);
  const int top = pixelsFromTwips(c.top);
  return {left, top, pixelsFromTwips(c.left + c.width) - left,
          pixelsFromTwips(c.top + c.height) - top};
}

// The caption without access-key markers, as screen readers should say it.
QString plainCaption(const QString& caption) {
  QString plain = caption;
  plain.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  plain.remove(QLatin1Char('&'));
  plain.replace(QLatin1Char('\x01'), QLatin1Char('&'));
  return plain;
}

// Accessible names for the controls whose captions do not say what they are.
const std::map<std::string_view, const char*> kAccessibleNames = {
    {"txtPrice", "Price"}, {"lblSalesTax", "Sales tax"}, {"Frame1", "States"}};

QString qtext(runtime::TextView text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

// Every option button in the table selects a state that has a rate.
constexpr bool everyOptionHasARate() {
  for (const ControlDescription& c : kForm1Controls) {
    if (c.kind != ControlKind::OptionButton) continue;
    bool found = false;
    for (const calc::RateRow& row : calc::kRateTable) found = found || row.option == c.name;
    if (!found) return false;
  }
  return true;
}
static_assert(everyOptionHasARate());

runtime::ControlStatus missing() { return runtime::ControlStatus::failure("it no longer exists"); }

}  // namespace

QString wrapCaption(const QString& caption, const QFontMetrics& metrics, int width) {
  const auto widthOf = [&](const QString& line) { return metrics.horizontalAdvance(plainCaption(line)); };
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

QString WrappingButton::displayedText() const {
  QStyleOptionButton option;
  initStyleOption(&option);
  const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  return wrapCaption(text(), fontMetrics(), contents.width());
}

QSize WrappingButton::sizeHint() const {
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text = displayedText();
  const QSize textSize = fontMetrics().size(Qt::TextShowMnemonic, option.text);
  return style()->sizeFromContents(QStyle::CT_PushButton, &option, textSize, this);
}

void WrappingButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text = displayedText();
  painter.drawControl(QStyle::CE_PushButton, option);
}

TaxLabel::TaxLabel(QWidget* parent, int describedWidth)
    : QLabel(parent), describedWidth_(describedWidth) {}

void TaxLabel::setCaption(const QString& caption) {
  setText(caption);
  resize(std::max(describedWidth_, sizeHint().width()), height());
}

Form1::Form1(ErrorReporter& reporter, QWidget* parent) : QWidget(parent), reporter_(reporter) {
  setObjectName(qtext(kFormName));
  setWindowTitle(qtext(kFormCaption));
  resize(pixelsFromTwips(kClientWidthTwips), pixelsFromTwips(kClientHeightTwips));

  QHash<QString, QWidget*> byName{{objectName(), this}};
  std::array<QWidget*, kForm1Controls.size()> byTabIndex{};

  for (const ControlDescription& c : kForm1Controls) {
    QWidget* container = byName.value(qtext(c.container));
    const QString caption = qtext(c.caption);
    QWidget* widget = nullptr;
    switch (c.kind) {
      case ControlKind::CommandButton: {
        auto* button = new WrappingButton(caption, container);
        button->setAutoDefault(false);
        button->setDefault(false);
        connect(button, &QPushButton::clicked, this, &Form1::calculateClicked);
        cmdCalculateSalesTax_ = button;
        widget = button;
        break;
      }
      case ControlKind::TextBox: {
        auto* box = new QLineEdit(container);
        box->setText(caption);
        txtPrice_ = box;
        widget = box;
        break;
      }
      case ControlKind::Frame:
        widget = new QGroupBox(caption, container);
        break;
      case ControlKind::OptionButton: {
        auto* button = new QRadioButton(caption, container);
        const auto row = std::find_if(calc::kRateTable.begin(), calc::kRateTable.end(),
                                      [&](const calc::RateRow& r) { return r.option == c.name; });
        options_[static_cast<std::size_t>(row - calc::kRateTable.begin())] = button;
        widget = button;
        break;
      }
      case ControlKind::Label:
        if (c.name == "lblSalesTax") {
          auto* label = new TaxLabel(container, pixelRect(c).width());
          label->setTextInteractionFlags(Qt::TextSelectableByMouse);
          label->setText(caption);
          lblSalesTax_ = label;
          widget = label;
        } else {
          widget = new QLabel(caption, container);
        }
        break;
    }
    widget->setObjectName(qtext(c.name));
    widget->setGeometry(pixelRect(c));
    if (const auto name = kAccessibleNames.find(c.name); name != kAccessibleNames.end()) {
      widget->setAccessibleName(QString::fromLatin1(name->second));
    }
    byName.insert(widget->objectName(), widget);
    byTabIndex[static_cast<std::size_t>(c.tabIndex)] = widget;
  }

  // The tab order follows the tab indexes; labels and the frame take no focus and are
  // passed over.
  QWidget* previous = nullptr;
  for (QWidget* widget : byTabIndex) {
    if (widget->focusPolicy() & Qt::TabFocus) {
      if (previous) setTabOrder(previous, widget);
      previous = widget;
    }
  }

  option(calc::State::Pennsylvania)->setChecked(true);
  txtPrice_->setFocus(Qt::OtherFocusReason);
}

QRadioButton* Form1::option(calc::State state) const {
  return options_[static_cast<std::size_t>(state)];
}

void Form1::calculateClicked() {
  try {
    calc::calculateSalesTax(*this);
  } catch (const runtime::RunTimeError& error) {
    reporter_.report(error);
    // The command stopped where it failed and the price is still in the box: put the user
    // back there, with the text selected, to correct it.
    if (txtPrice_) {
      txtPrice_->setFocus(Qt::OtherFocusReason);
      txtPrice_->selectAll();
    }
  }
}

bool Form1::isSelected(calc::State state) {
  const QRadioButton* button = option(state);
  return button && button->isChecked();
}

runtime::ControlStatus Form1::readPriceText(runtime::Text& text) {
  if (!txtPrice_) return missing();
  text = txtPrice_->text().toStdU16String();
  return {};
}

runtime::ControlStatus Form1::setPriceText(runtime::TextView text) {
  if (!txtPrice_) return missing();
  txtPrice_->setText(qtext(text));
  return {};
}

runtime::ControlStatus Form1::focusPrice() {
  if (!txtPrice_) return missing();
  txtPrice_->setFocus(Qt::OtherFocusReason);
  return {};
}

runtime::ControlStatus Form1::setTaxCaption(runtime::TextView text) {
  if (!lblSalesTax_) return missing();
  lblSalesTax_->setCaption(qtext(text));
  return {};
}

}  // namespace window
