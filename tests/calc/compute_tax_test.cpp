#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "calc/compute_tax.h"
#include "calc/rates.h"
#include "exact_oracle.h"
#include "random_prices.h"
#include "run_time_errors.h"
#include "runtime/bits.h"
#include "runtime/run_time_error.h"
#include "runtime/single_from_text.h"
#include "worked_examples.h"

namespace calc {
namespace {

using runtime::ErrorKind;
using runtime::RunTimeError;

std::int64_t tax(float price, State state) { return ComputeTax(price, rateOf(state)).raw(); }

std::optional<ErrorKind> errorKindOf(float price, float rate) {
  return testing_support::raisedKind([&] { (void)ComputeTax(price, rate); });
}

TEST(ComputeTax, WorkedExamples) {
  for (const auto& example : testing_support::kWorkedExamples) {
    EXPECT_EQ(tax(runtime::singleFromText(example.price), example.state), example.tenThousandths)
        << runtime::utf8FromText(example.price);
  }
  EXPECT_EQ(tax(0x1.3fd70ap+4f /* 19.99 */, State::Pennsylvania), 11994);
  EXPECT_EQ(tax(123456.78f, State::Delaware), 0);
  EXPECT_EQ(tax(-0x1.fffffep127f, State::Delaware), 0);
}

TEST(ComputeTax, KeepsTheProductExactWhereDoubleScalingRoundsTwice) {
  // llrint(price * rate * 10000.0) gives ...968 and ...290 here.
  EXPECT_EQ(tax(33914769408.0f, State::Pennsylvania), 20348861189967);
  EXPECT_EQ(tax(876212322304.0f, State::Ohio), 438106167680291);
}

TEST(ComputeTax, RaisesOverflowBeyondTheCurrencyRange) {
  EXPECT_EQ(errorKindOf(1e20f, rateOf(State::Pennsylvania)), ErrorKind::Overflow);
  EXPECT_EQ(errorKindOf(-1e20f, rateOf(State::Maryland)), ErrorKind::Overflow);
  EXPECT_EQ(errorKindOf(0x1.fffffep127f, rateOf(State::NewYork)), ErrorKind::Overflow);
  EXPECT_EQ(tax(1e20f, State::Delaware), 0);
}

TEST(ComputeTax, RaisesTheFloatingPointErrorForNonFiniteOperands) {
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(errorKindOf(inf, 0.0f), ErrorKind::FloatingPoint);
  EXPECT_EQ(errorKindOf(std::nanf(""), 0.06f), ErrorKind::FloatingPoint);
  EXPECT_EQ(errorKindOf(-inf, 0.06f), ErrorKind::FloatingPoint);
}

// Random prices over the whole exponent range, and prices of everyday size, for each rate.
TEST(ComputeTax, MatchesTheExactOracleOnRandomPrices) {
  testing_support::PriceSource source(0x5A1E5);
  long compared = 0;
  for (const RateRow& row : kRateTable) {
    for (int i = 0; i < 1'000'000; ++i) {
      const float price = i % 2 ? source.anyFinite() : source.everyday();
      const auto expected = oracle::exactTax(price, row.rate);
      try {
        const std::int64_t got = ComputeTax(price, row.rate).raw();
        ASSERT_TRUE(expected.has_value()) << std::hexfloat << price << " ";
        ASSERT_EQ(got, *expected) << std::hexfloat << price << " ";
      } catch (const RunTimeError& e) {
        ASSERT_EQ(e.kind(), ErrorKind::Overflow);
        ASSERT_FALSE(expected.has_value()) << std::hexfloat << price << " ";
      }
      ++compared;
    }
  }
  RecordProperty("compared", std::to_string(compared));
  EXPECT_EQ(compared, 5'000'000);
}

// Prices whose scaled product is exactly k + 1/2 ten-thousandths, and their neighbours.
TEST(ComputeTax, MatchesTheExactOracleOnTiesAndNearTies) {
  testing_support::PriceSource source(42);
  int ties = 0;
  for (const RateRow& row : kRateTable) {
    if (row.rate == 0.0f) continue;
    const oracle::Binary32 rate = oracle::decompose(row.rate);
    for (int i = 0; i < 20'000; ++i) {
      const std::uint32_t significand = 0x800000u | (static_cast<std::uint32_t>(source.next()) & 0x7FFFFF);
      const std::uint64_t scaled = std::uint64_t{significand} * rate.significand * 10000u;
      // Put the lowest set bit of the scaled product just below the point: a tie.
      const int exponent = -(std::countr_zero(scaled) + 1) - rate.exponent;
      const float price = std::ldexp(static_cast<float>(significand), exponent);
      ASSERT_EQ(runtime::bitCast<std::uint32_t>(price) & 0x7FFFFF, significand & 0x7FFFFF);
      const std::int64_t tie = *oracle::exactTax(price, row.rate);
      ASSERT_EQ(tie % 2, 0) << price;  // ties go to even
      for (const float p : {price, -price, std::nextafter(price, 0.0f), std::nextafter(price, 1e30f)}) {
        ASSERT_EQ(ComputeTax(p, row.rate).raw(), *oracle::exactTax(p, row.rate)) << std::hexfloat << p;
      }
      ++ties;
    }
  }
  EXPECT_EQ(ties, 80'000);
}

TEST(ExactOracle, AgreesWithHandWorkedValues) {
  EXPECT_EQ(oracle::exactTax(0x1.3fd70ap+4f, 0.06f), 11994);
  EXPECT_EQ(oracle::exactTax(8388608.0f, 0.05f), 4194304062);
  EXPECT_EQ(oracle::exactTax(-5.0f, 0.06f), -3000);
  EXPECT_EQ(oracle::exactTax(1e20f, 0.06f), std::nullopt);
  EXPECT_EQ(oracle::decimalText(4194304062), "419430.4062");
  EXPECT_EQ(oracle::decimalText(-1), "-0.0001");
  EXPECT_EQ(oracle::decimalText(0), "0");
  EXPECT_EQ(oracle::decimalText(std::numeric_limits<std::int64_t>::min()), "-922337203685477.5808");
}

}  // namespace
}  // namespace calc
