#include "calc/compute_tax.h"

#include <cmath>

#include "runtime/run_time_error.h"

namespace calc {

runtime::Currency ComputeTax(const float& Price, const float& Rate) {
  // The product is formed in double precision: two 24-bit significands make at most 48
  // bits, so it is exact and is never rounded to a Single.
  const double product = static_cast<double>(Price) * static_cast<double>(Rate);

  // The floating-point status test, done on the product rather than through <cfenv>.
  // A multiplication can raise invalid (inf * 0, or a signalling NaN operand) and overflow
  // (a finite product too large for a double); it never divides by zero. Two finite Singles
  // multiplied in double can raise neither: the product is at most 2^256 in magnitude. So for
  // finite operands, which is all the Calculate command can pass (the price conversion
  // rejects every non-finite spelling and raises overflow itself), the status flags stay
  // clear and this test passes, exactly as the flag test would. For non-finite operands the
  // product is infinite or NaN and the error is raised here, as the flag test would for
  // every case it flags. Reading the flags instead would need the compiler kept from
  // moving or folding the multiplication around the fenv calls, and costs a write to the
  // control register on every call; the tests check both tests agree on finite operands.
  if (!std::isfinite(product)) runtime::raiseFloatError();

  return runtime::currencyFromFloat(product);
}

}  // namespace calc
