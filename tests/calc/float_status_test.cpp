// ComputeTax against the floating-point unit's own status flags, on the machines that have
// them (WebAssembly has none: there <cfenv> reports no flag, and the build leaves this out).
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <optional>

#include "calc/compute_tax.h"
#include "calc/rates.h"
#include "exact_oracle.h"
#include "random_prices.h"
#include "run_time_errors.h"
#include "runtime/run_time_error.h"

namespace calc {
namespace {

using runtime::ErrorKind;

// ComputeTax tests the product where the unit's status flags would be read: wherever the
// multiplication flags invalid, division by zero or overflow it must raise the floating-point
// error, and on finite Singles (everything the command can pass), where no flag can be
// raised, it must not: there it gives the exact oracle's tax, or the overflow error where the
// oracle finds the tax beyond the Currency range. A product that is not finite without a
// flag (a quiet NaN, or infinity times a number not zero) raises the floating-point error
// too. Each of the four cases is met often, or the test says so.
TEST(ComputeTax, RaisesTheFloatingPointErrorWhereverTheStatusFlagsWould) {
  const float inf = std::numeric_limits<float>::infinity();
  const float specials[] = {inf, -inf, std::nanf(""), 0.0f, -0.0f, 0x1.fffffep127f, 0x1p-149f};
  testing_support::PriceSource source(7);
  int flaggedPairs = 0, quietNonFinitePairs = 0, taxedPairs = 0, overflowPairs = 0;
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
    } else if (!std::isfinite(price) || !std::isfinite(rate)) {
      ++quietNonFinitePairs;
      ASSERT_EQ(kind, ErrorKind::FloatingPoint) << price << " * " << rate;
    }
    if (std::isfinite(price) && std::isfinite(rate)) {
      ASSERT_FALSE(flagged) << price << " * " << rate;
      const bool fits = oracle::exactTax(price, rate).has_value();
      ++(fits ? taxedPairs : overflowPairs);
      ASSERT_EQ(kind, fits ? std::nullopt : std::optional(ErrorKind::Overflow)) << price << " * " << rate;
    }
  }
  // The seeded mix gives about 950, 35,000, 122,000 and 42,000: at least half of each.
  EXPECT_GE(flaggedPairs, 475) << "infinity times zero, flagged invalid";
  EXPECT_GE(quietNonFinitePairs, 17'500) << "a quiet NaN, or infinity times a number not zero";
  EXPECT_GE(taxedPairs, 61'000) << "finite Singles taxed";
  EXPECT_GE(overflowPairs, 21'000) << "finite Singles whose tax overflows";
}

}  // namespace
}  // namespace calc
