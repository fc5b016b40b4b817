#include "window/calculate_click.h"

#include <optional>

#include "window/form1_description.h"

namespace window {

namespace {

using runtime::ControlStatus;
using runtime::Text;
using runtime::TextView;

// The controls as the command sees them, remembering the tax caption it sets.
class RememberingTheTax final : public calc::CalculatorControls {
 public:
  explicit RememberingTheTax(calc::CalculatorControls& controls) : controls_(controls) {}
  std::optional<Text> tax;

  ControlStatus readSelected(calc::State state, bool& selected) override {
    return controls_.readSelected(state, selected);
  }
  ControlStatus readPriceText(Text& text) override { return controls_.readPriceText(text); }
  ControlStatus setPriceText(TextView text) override { return controls_.setPriceText(text); }
  ControlStatus focusPrice() override { return controls_.focusPrice(); }
  ControlStatus setTaxCaption(TextView text) override {
    ControlStatus status = controls_.setTaxCaption(text);
    if (status.ok) tax = Text(text);
    return status;
  }

 private:
  calc::CalculatorControls& controls_;
};

// Sets the flag for its own lifetime, on every way out.
class Running {
 public:
  explicit Running(bool& flag) : flag_(flag) { flag_ = true; }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;
  ~Running() { flag_ = false; }

 private:
  bool& flag_;
};

}  // namespace

ErrorReport reportOf(const runtime::RunTimeError& error) {
  return {"Run-time error " + std::to_string(error.number()), error.what()};
}

Text describeTheTax(TextView tax) {
  static constexpr TextView caption = kForm1Controls[labelRowOf(nameOf(ControlKind::TaxLabel))].caption;
  Text description(caption);
  description += u' ';
  description += tax;
  return description;
}

void CalculateClick::operator()() {
  if (running_) return;
  const Running running(running_);
  RememberingTheTax controls(controls_);
  try {
    calc::calculateSalesTax(controls);
  } catch (const runtime::RunTimeError& error) {
    reporter_.report(reportOf(error));
    // The command stopped where it failed, and the price is still in the box.
    controls_.selectPriceForCorrection();
    return;
  }
  // Nothing with the focus changes its name when the tax comes, so screen readers are told.
  if (controls.tax) controls_.announceTax(describeTheTax(*controls.tax));
}

}  // namespace window
