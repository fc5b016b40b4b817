#include "calc/compute_tax.h"

#include <cmath>

#include "runtime/run_time_error.h"

namespace calc {

runtime::Currency ComputeTax(const float& Price, const float& Rate) {
  // The product is formed in double precision: two 24-bit significands make at most 48
  // bits, so it is exact and is never rounded to a Single.
  const double product = static_cast<double>(Price) * static_cast<double>(Rate);

  // The floating-point status test, on the product: for finite Singles no flag can be
  // raised, and for any other operand the product is infinite or NaN, which it catches.
  if (!std::isfinite(product)) runtime::raiseFloatError();

  return runtime::currencyFromFloat(product);
}

}  // namespace calc
