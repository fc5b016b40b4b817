#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <array>
#include <string_view>

#include "window/calculate_click.h"
#include "window/command_key.h"
#include "window/form1_description.h"

namespace qtui {

using window::ControlDescription;
using window::kForm1Controls;

class Announcement;

// The tax label: keeps its left, top and height, and widens to the right so that the whole
// tax always shows; it never narrows below its described width. Screen readers hear the tax
// as its name, and are told when it changes.
class TaxLabel : public QLabel {
  Q_OBJECT
 public:
  TaxLabel(QWidget* parent, const window::PixelRect& described);
  void setCaption(const QString& caption);

 private:
  window::PixelRect described_;
};

// The command button. Its caption breaks onto more lines when it is wider than the button,
// as a plain QPushButton's never does; text() keeps the caption as given, so its access key
// and accessible name stay those of the one-line caption. Its access key follows the shared
// rule of window::CommandKey: held, the button shows pressed; let go of, it clicks once; the
// keyboard's repeats, a click by other means while the key is held, and the window lost
// before the release click nothing more.
class CommandButton : public QPushButton {
  Q_OBJECT
 public:
  CommandButton(const QString& caption, QWidget* parent);
  // The caption as drawn, for the button's current font and width.
  [[nodiscard]] QString displayedText() const;
  [[nodiscard]] QSize sizeHint() const override;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void follow(window::CommandKey::Effect effect);
  window::CommandKey key_;
  int heldKey_ = 0;               // the key whose release clicks, while key_ is held
  bool lastPressRepeated_ = false;  // the keyboard's last press was one of its repeats
};

// The calculator's one window: the price box, the five states, the command button and the
// tax. Built from the control table in form1_description.h; a click runs the shared
// window::CalculateClick, which shows its reports through `reporter`; the reporter calls
// reportDismissed() when the user has dismissed one.
class Form1 : public QWidget, private window::Form1Controls {
  Q_OBJECT
 public:
  explicit Form1(window::ErrorReporter& reporter, QWidget* parent = nullptr);

  void reportDismissed() { click_.reportDismissed(); }
  [[nodiscard]] const window::CalculateClick& click() const { return click_; }

  QLineEdit* priceBox() const { return txtPrice_; }
  QRadioButton* option(calc::State state) const { return options_[calc::indexOf(state)]; }
  CommandButton* commandButton() const { return cmdCalculateSalesTax_; }
  TaxLabel* taxLabel() const { return lblSalesTax_; }

 private:
  QWidget* createControl(const ControlDescription& c, QWidget* container);
  CommandButton* createCommandButton(const ControlDescription& c, QWidget* container);
  QLineEdit* createTextBox(const ControlDescription& c, QWidget* container);
  QRadioButton* createOptionButton(const ControlDescription& c, QWidget* container);
  TaxLabel* createTaxLabel(const ControlDescription& c, QWidget* container);
  using Widgets = std::array<QWidget*, kForm1Controls.size()>;
  void setTabOrderFromTheTable(const Widgets& widgets);

  // The control operations of a click, over the widgets.
  runtime::ControlStatus readSelected(calc::State state, bool& selected) override;
  runtime::ControlStatus readPriceText(runtime::Text& text) override;
  runtime::ControlStatus setPriceText(runtime::TextView text) override;
  runtime::ControlStatus focusPrice() override;
  runtime::ControlStatus setTaxCaption(runtime::TextView text) override;
  // The notification, and the price box's description for "where am I".
  void announceTax(runtime::TextView description) override;
  void selectPriceForCorrection() override;

  window::CalculateClick click_;
  QPointer<QLineEdit> txtPrice_;
  QPointer<TaxLabel> lblSalesTax_;
  QPointer<CommandButton> cmdCalculateSalesTax_;
  Announcement* taxAnnouncement_ = nullptr;
  std::array<QPointer<QRadioButton>, calc::kStateCount> options_;
};

// A text of the runtime or of the control table as a QString.
inline QString qtext(std::u16string_view text) { return QStringView(text).toString(); }

// The control's rectangle in the table's row `row`, in device-independent pixels within
// its container.
QRect pixelRect(std::size_t row);

// The widget for a control of `kind` in `container`, with its caption: the plain widget of
// its kind, or for a kind this window does not know an empty QWidget, so that the window
// still opens. Never null.
QWidget* createPlainControl(const ControlDescription& c, QWidget* container);

// The caption broken at spaces to fit `width` pixels in `metrics`: one line if it fits, else
// the most even two lines that fit, else as many words a line as fit. Access-key markers
// ('&') take no room.
QString wrapCaption(const QString& caption, const QFontMetrics& metrics, int width);

}  // namespace qtui
