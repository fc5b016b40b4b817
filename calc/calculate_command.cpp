#include "calc/calculate_command.h"

#include "calc/compute_tax.h"
#include "runtime/single_from_text.h"

namespace calc {

using runtime::checkControlStatus;

void calculateSalesTax(CalculatorControls& controls) {
  // The first selected state in table order decides; later ones are not looked at.
  for (const RateRow& row : kRateTable) {
    if (!controls.isSelected(row.state)) continue;

    runtime::Text price;
    checkControlStatus(controls.readPriceText(price), "txtPrice", "read its text");
    const float rate = row.rate;
    const float value = runtime::singleFromText(price);
    const runtime::Currency tax = ComputeTax(value, rate);
    checkControlStatus(controls.setTaxCaption(runtime::textFromCurrency(tax)), "lblSalesTax",
                       "show the tax");
    break;
  }

  checkControlStatus(controls.setPriceText(u""), "txtPrice", "clear its text");
  checkControlStatus(controls.focusPrice(), "txtPrice", "take the focus");
}

}  // namespace calc
