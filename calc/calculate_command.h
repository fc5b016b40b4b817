#pragma once

#include "calc/rates.h"
#include "runtime/run_time_error.h"
#include "runtime/text.h"

namespace calc {

// The control operations the Calculate command uses, and no others. The window implements
// them over its widgets, and a failed status names the control; tests implement them over
// plain values and can fail any of them.
class CalculatorControls {
 public:
  virtual ~CalculatorControls() = default;

  // Whether the option that stands for `state` is selected.
  virtual runtime::ControlStatus readSelected(State state, bool& selected) = 0;
  // The text of the price box.
  virtual runtime::ControlStatus readPriceText(runtime::Text& text) = 0;
  virtual runtime::ControlStatus setPriceText(runtime::TextView text) = 0;
  virtual runtime::ControlStatus focusPrice() = 0;
  // The caption of the tax label.
  virtual runtime::ControlStatus setTaxCaption(runtime::TextView text) = 0;
};

// Runs once for each click of the command button: shows the tax on the price in the box at
// the selected state's rate, then empties the price box and gives it the focus.
// A run-time error stops the command at the step that raised it and propagates to the
// caller; no later step runs. Nothing is kept from one run to the next.
void calculateSalesTax(CalculatorControls& controls);

}  // namespace calc
