#include "window/calculate_click.h"

#include <optional>

#include "app/version.h"
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

// Puts the click back to Idle on every way out of it, but a report left up.
class IdleWhenLeft {
 public:
  explicit IdleWhenLeft(CalculateClick::Phase& phase) : phase_(&phase) {}
  IdleWhenLeft(const IdleWhenLeft&) = delete;
  IdleWhenLeft& operator=(const IdleWhenLeft&) = delete;
  ~IdleWhenLeft() {
    if (phase_) *phase_ = CalculateClick::Phase::Idle;
  }
  void cancel() { phase_ = nullptr; }

 private:
  CalculateClick::Phase* phase_;
};

}  // namespace

ErrorReport reportOf(const runtime::RunTimeError& error) {
  return {app::version::kProductName, "Run-time error " + std::to_string(error.number()), error.what()};
}

Text describeTheTax(TextView tax) {
  Text description(kForm1Controls[kTaxCaptionRow].caption);
  description += u' ';
  description += tax;
  return description;
}

void CalculateClick::operator()() {
  if (phase_ != Phase::Idle) return;
  phase_ = Phase::Running;
  IdleWhenLeft idle(phase_);
  RememberingTheTax controls(controls_);
  try {
    calc::calculateSalesTax(controls);
  } catch (const runtime::RunTimeError& error) {
    // The command stopped where it failed, and the price is still in the box.
    phase_ = Phase::Reporting;
    reporter_.show(reportOf(error));  // it may have been dismissed already
    idle.cancel();
    return;
  }
  // Nothing with the focus changes its name when the tax comes, so screen readers are told.
  if (controls.tax) controls_.announceTax(describeTheTax(*controls.tax));
}

void CalculateClick::reportDismissed() {
  if (phase_ != Phase::Reporting) return;
  phase_ = Phase::Idle;
  controls_.selectPriceForCorrection();
}

}  // namespace window
