#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <array>

#include "calc/calculate_command.h"
#include "runtime/run_time_error.h"

namespace window {

// Where a run-time error that leaves the Calculate command goes.
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  // Shows the error to the user; returns once the user has dismissed it.
  virtual void report(const runtime::RunTimeError& error) = 0;
};

// The tax label: keeps its left, top and height, and widens to the right so that the whole
// tax always shows; it never narrows below its described width.
class TaxLabel : public QLabel {
  Q_OBJECT
 public:
  TaxLabel(QWidget* parent, int describedWidth);
  void setCaption(const QString& caption);

 private:
  int describedWidth_;
};

// A push button whose caption breaks onto more lines when it is wider than the button, as
// a plain QPushButton's never does. text() keeps the caption as given, so its access key
// and accessible name stay those of the one-line caption; only the drawing wraps.
class WrappingButton : public QPushButton {
  Q_OBJECT
 public:
  using QPushButton::QPushButton;
  // The caption as drawn, for the button's current font and width.
  [[nodiscard]] QString displayedText() const;
  [[nodiscard]] QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// The calculator's one window: the price box, the five states, the command button and the
// tax. Built from the control table in form1_description.h.
class Form1 : public QWidget, private calc::CalculatorControls {
  Q_OBJECT
 public:
  Form1(ErrorReporter& reporter, QWidget* parent = nullptr);

  QLineEdit* priceBox() const { return txtPrice_; }
  QRadioButton* option(calc::State state) const;
  WrappingButton* commandButton() const { return cmdCalculateSalesTax_; }
  TaxLabel* taxLabel() const { return lblSalesTax_; }

 private:
  void calculateClicked();

  // The control operations of the Calculate command, over the widgets.
  bool isSelected(calc::State state) override;
  runtime::ControlStatus readPriceText(runtime::Text& text) override;
  runtime::ControlStatus setPriceText(runtime::TextView text) override;
  runtime::ControlStatus focusPrice() override;
  runtime::ControlStatus setTaxCaption(runtime::TextView text) override;

  ErrorReporter& reporter_;
  QPointer<QLineEdit> txtPrice_;
  QPointer<TaxLabel> lblSalesTax_;
  QPointer<WrappingButton> cmdCalculateSalesTax_;
  std::array<QPointer<QRadioButton>, calc::kRateTable.size()> options_;
};

// The caption broken at spaces to fit `width` pixels in `metrics`: one line if it fits, else
// the most even two lines that fit, else as many words a line as fit. Access-key markers
// ('&') take no room.
QString wrapCaption(const QString& caption, const QFontMetrics& metrics, int width);

}  // namespace window
