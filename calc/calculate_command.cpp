#include "calc/calculate_command.h"

#include "calc/compute_tax.h"
#include "runtime/single_from_text.h"

namespace calc {

using runtime::checkControlStatus;

void calculateSalesTax(CalculatorControls& controls) {
  // The first selected state in table order decides; later ones are not looked at.
  for (const RateRow& row : kRateTable) {
    bool selected = false;
    checkControlStatus(controls.readSelected(row.state, selected), "read its value");
    if (!selected) continue;

    runtime::Text priceText;
    checkControlStatus(controls.readPriceText(priceText), "read its text");
    const float rate = row.rate;
    const float price = runtime::singleFromText(priceText);
    const runtime::Currency tax = ComputeTax(price, rate);
    checkControlStatus(controls.setTaxCaption(runtime::textFromCurrency(tax)), "show the tax");
    break;
  }

  checkControlStatus(controls.setPriceText(u""), "clear its text");
  checkControlStatus(controls.focusPrice(), "take the focus");
}

}  // namespace calc
