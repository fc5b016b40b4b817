#pragma once

#include "runtime/currency.h"

namespace calc {

// The tax on `Price` at `Rate`: their product, kept to four decimal places (rounded to the
// nearest ten-thousandth, not to cents). Raises the floating-point run-time error for a
// product that is not finite, and the overflow run-time error for a tax beyond the Currency
// range.
[[nodiscard]] runtime::Currency ComputeTax(const float& Price, const float& Rate);

}  // namespace calc
