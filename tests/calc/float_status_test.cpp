// ComputeTax against the floating-point unit's own status flags, on the machines that have
// them (WebAssembly has none: there <cfenv> reports no flag, and the build leaves this out).
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <optional>

#include "calc/compute_tax.h"
#include "calc/rates.h"
#include "random_prices.h"
#include "run_time_errors.h"
#include "runtime/run_time_error.h"

namespace calc {
namespace {

using runtime::ErrorKind;

// ComputeTax tests the product where the unit's status flags would be read: wherever the
// multiplication flags invalid, division by zero or overflow it must raise the floating-point
// error, and on finite Singles (everything the command can pass), where no flag can be
// raised, it must not.
TEST(ComputeTax, RaisesTheFloatingPointErrorWhereverTheStatusFlagsWould) {
  const float inf = std::numeric_limits<float>::infinity();
  const float specials[] = {inf, -inf, std::nanf(""), 0.0f, -0.0f, 0x1.fffffep127f, 0x1p-149f};
  testing_support::PriceSource source(7);
  int flaggedPairs = 0;
  for (int i = 0; i < 200'000; ++i) {
    const float price = i % 10 == 0 ? specials[i / 10 % 7] : source.anyFinite();
    const float rate = i % 3 == 0 ? kRateTable[static_cast<std::size_t>(i / 3 % 5)].rate
                                  : i % 3 == 1 ? specials[i / 3 % 7] : source.anyFinite();
    std::feclearexcept(FE_ALL_EXCEPT);
    volatile double product = static_cast<double>(price) * static_cast<double>(rate);
    (void)product;
    const bool flagged = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0;
    const std::optional<ErrorKind> kind = testing_support::raisedKind([&] { (void)ComputeTax(price, rate); });
    if (flagged) {
      ++flaggedPairs;
      ASSERT_EQ(kind, ErrorKind::FloatingPoint) << price << " * " << rate;
    }
    if (std::isfinite(price) && std::isfinite(rate)) {
      ASSERT_FALSE(flagged) << price << " * " << rate;
      ASSERT_NE(kind, ErrorKind::FloatingPoint) << price << " * " << rate;
    }
  }
  EXPECT_GT(flaggedPairs, 0) << "the specials include flagged products (infinity times zero, NaN)";
}

}  // namespace
}  // namespace calc
