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
// Besides agreeing with the oracle, the outcome must follow two facts that need neither: no
// price below 2^40 overflows at any of the rates (at most 0.8, so the tax stays below 2^40
// whole units), and every price of 2^60 or more does at a rate not zero (at least 0.05, so
// the tax passes 2^55 whole units, beyond the Currency range of about 2^49.7). And the
// prices must have reached both sides: a good share overflow, and most of the rest are
// taxed more than nothing.
TEST(ComputeTax, MatchesTheExactOracleOnRandomPrices) {
  testing_support::PriceSource source(0x5A1E5);
  long taxed = 0, taxedMoreThanNothing = 0, overflowed = 0;
  for (const RateRow& row : kRateTable) {
    for (int i = 0; i < 1'000'000; ++i) {
      const float price = i % 2 ? source.anyFinite() : source.everyday();
      const auto expected = oracle::exactTax(price, row.rate);
      const float size = std::fabs(price);
      if (size < 0x1p40f) {
        ASSERT_TRUE(expected.has_value()) << std::hexfloat << price << " ";
      }
      if (size >= 0x1p60f && row.rate != 0.0f) {
        ASSERT_FALSE(expected.has_value()) << std::hexfloat << price << " ";
      }
      try {
        const std::int64_t got = ComputeTax(price, row.rate).raw();
        ASSERT_TRUE(expected.has_value()) << std::hexfloat << price << " ";
        ASSERT_EQ(got, *expected) << std::hexfloat << price << " ";
        ++taxed;
        if (got != 0) ++taxedMoreThanNothing;
      } catch (const RunTimeError& e) {
        ASSERT_EQ(e.kind(), ErrorKind::Overflow);
        ASSERT_FALSE(expected.has_value()) << std::hexfloat << price << " ";
        ++overflowed;
      }
    }
  }
  RecordProperty("taxed", std::to_string(taxed));
  RecordProperty("taxedMoreThanNothing", std::to_string(taxedMoreThanNothing));
  RecordProperty("overflowed", std::to_string(overflowed));
  // The seeded prices give about 2,250,000 taxes other than zero and 600,000 overflows of the
  // 5,000,000: at least half of each.
  EXPECT_GE(taxedMoreThanNothing, 1'125'000);
  EXPECT_GE(overflowed, 300'000);
}

// Whether the tax on `price` at `rate`, in ten-thousandths, lies exactly halfway between two
// whole numbers; and if so, whether the whole number below it is odd. Read from the Singles
// as std::frexp splits them, not from how the test built the price nor as the oracle reads
// them: a tie is a scaled product whose bits below the point are one half exactly.
struct TieReading {
  bool tie = false;
  bool belowIsOdd = false;
};
TieReading readTie(float price, float rate) {
  int priceExponent = 0, rateExponent = 0;
  const auto priceBits = static_cast<std::uint64_t>(std::ldexp(std::fabs(std::frexp(price, &priceExponent)), 24));
  const auto rateBits = static_cast<std::uint64_t>(std::ldexp(std::fabs(std::frexp(rate, &rateExponent)), 24));
  // |price * rate| * 10000 = scaled * 2^-fractionBits
  const oracle::UInt128 scaled = oracle::UInt128{priceBits * rateBits} * 10000u;
  const int fractionBits = 48 - priceExponent - rateExponent;
  if (fractionBits <= 0 || fractionBits >= 128) return {};  // a whole number, or below 2^-66
  const oracle::UInt128 one = 1;
  if ((scaled & ((one << fractionBits) - 1)) != one << (fractionBits - 1)) return {};
  return {true, ((scaled >> fractionBits) & 1) != 0};
}

// Prices whose scaled product is exactly k + 1/2 ten-thousandths, and their neighbours. Each
// built price must read as a tie, and for each rate the ties must go both ways, about as
// often: rounding to even sends a tie up when k is odd and down when it is even, so only
// ties of both kinds tell it from rounding half up, half down or half away from zero.
TEST(ComputeTax, MatchesTheExactOracleOnTiesAndNearTies) {
  testing_support::PriceSource source(42);
  for (const RateRow& row : kRateTable) {
    if (row.rate == 0.0f) continue;
    const oracle::Binary32 rate = oracle::decompose(row.rate);
    int roundedUp = 0, roundedDown = 0;
    for (int i = 0; i < 20'000; ++i) {
      const std::uint32_t significand = 0x800000u | (static_cast<std::uint32_t>(source.next()) & 0x7FFFFF);
      const std::uint64_t scaled = std::uint64_t{significand} * rate.significand * 10000u;
      // Put the lowest set bit of the scaled product just below the point: a tie.
      const int exponent = -(std::countr_zero(scaled) + 1) - rate.exponent;
      const float price = std::ldexp(static_cast<float>(significand), exponent);
      ASSERT_EQ(runtime::bitCast<std::uint32_t>(price) & 0x7FFFFF, significand & 0x7FFFFF);
      const TieReading reading = readTie(price, row.rate);
      ASSERT_TRUE(reading.tie) << std::hexfloat << price;
      ++(reading.belowIsOdd ? roundedUp : roundedDown);
      const std::int64_t tie = *oracle::exactTax(price, row.rate);
      ASSERT_EQ(tie % 2, 0) << price;  // ties go to even
      for (const float p : {price, -price, std::nextafter(price, 0.0f), std::nextafter(price, 1e30f)}) {
        ASSERT_EQ(ComputeTax(p, row.rate).raw(), *oracle::exactTax(p, row.rate)) << std::hexfloat << p;
      }
    }
    // About half of the 20,000 each way: at least a quarter.
    EXPECT_GE(roundedUp, 5'000) << "ties rounded up at " << row.rate;
    EXPECT_GE(roundedDown, 5'000) << "ties rounded down at " << row.rate;
  }
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
