#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "run_time_errors.h"
#include "runtime/currency.h"
#include "runtime/run_time_error.h"
#include "runtime/text.h"

namespace runtime {
namespace {

std::int64_t raw(double x) { return currencyFromFloat(x).raw(); }

TEST(CurrencyFromFloat, RoundsToNearestTenThousandth) {
  EXPECT_EQ(raw(0.0), 0);
  EXPECT_EQ(raw(-0.0), 0);
  EXPECT_EQ(raw(1.0), 10000);
  EXPECT_EQ(raw(0x1.ap-1), 8125);     // 0.8125 exactly
  EXPECT_EQ(raw(0x1.3333333333333p-4), 750);  // nearest double to 0.075
  EXPECT_EQ(raw(-0x1.3333333333333p-2), -3000);
  EXPECT_EQ(raw(0x1.fffffffffffffp-15), 1);   // just under 2^-14: 0.61 ten-thousandths
  EXPECT_EQ(raw(0x1.0p-1074), 0);     // smallest subnormal
}

TEST(CurrencyFromFloat, BreaksExactTiesToEven) {
  // j/32 with j odd is exactly (625 j) / 2 ten-thousandths: a tie.
  EXPECT_EQ(raw(1.0 / 32), 312);      // 312.5 -> 312
  EXPECT_EQ(raw(3.0 / 32), 938);      // 937.5 -> 938
  EXPECT_EQ(raw(5.0 / 32), 1562);     // 1562.5 -> 1562
  EXPECT_EQ(raw(-3.0 / 32), -938);
  EXPECT_EQ(raw(419430.40625), 4194304062);  // 4194304062.5 -> even below
  EXPECT_EQ(raw(-419430.40625), -4194304062);
  // One unit in the last place either side of a tie is no longer a tie.
  EXPECT_EQ(raw(0x1.0000000000001p-5), 313);
  EXPECT_EQ(raw(0x1.fffffffffffffp-6), 312);
  EXPECT_EQ(raw(0x1.7ffffffffffffp-4), 937);
}

TEST(CurrencyFromFloat, ExactValueDecidesWhereScalingInDoubleWouldNot) {
  // 33914769408 * 0.06f is exactly 20348861189967 + 2043/4096 ten-thousandths, just under
  // the tie, and 876212322304 * 0.05f is 438106167680290 + 135/256, just over it. Scaling by
  // 10000.0 in double rounds both onto the tie first, and the second rounding goes wrong.
  EXPECT_EQ(raw(0x1.e527979bfcac0p+30), 20348861189967);
  EXPECT_EQ(raw(0x1.466a1eb800ee0p+35), 438106167680291);
}

TEST(CurrencyFromFloat, CoversTheWholeRangeAndRaisesOverflowPastIt) {
  // 2^49 = 562949953421312 is within range, 2^50 is not (2^50 * 10^4 > 2^63).
  EXPECT_EQ(raw(0x1.0p49), 5629499534213120000);
  EXPECT_EQ(raw(-0x1.0p49), -5629499534213120000);
  EXPECT_EQ(raw(922337203685477.5), 9223372036854775000);
  EXPECT_EQ(raw(-922337203685477.5), -9223372036854775000);
  // The last doubles below the bounds: 922337203685477.625 is past the top (2^63 - 1 = ...5807).
  EXPECT_THROW((void)raw(922337203685477.625), RunTimeError);
  EXPECT_THROW((void)raw(-922337203685477.625), RunTimeError);
  EXPECT_THROW((void)raw(0x1.0p50), RunTimeError);
  EXPECT_THROW((void)raw(1e300), RunTimeError);
  EXPECT_THROW((void)raw(std::numeric_limits<double>::infinity()), RunTimeError);
  EXPECT_THROW((void)raw(std::nan("")), RunTimeError);
  EXPECT_EQ(testing_support::raisedKind([] { (void)raw(1e20); }), ErrorKind::Overflow);
  EXPECT_EQ(testing_support::raisedMessage([] { (void)raw(1e20); }), "The tax is too large to show.");
}

TEST(TextFromCurrency, SpellsPlainDecimals) {
  const std::pair<std::int64_t, const char16_t*> cases[] = {
      {0, u"0"},
      {60000, u"6"},
      {11994, u"1.1994"},
      {6250, u"0.625"},
      {-3000, u"-0.3"},
      {-1, u"-0.0001"},
      {1, u"0.0001"},
      {10, u"0.001"},
      {100000, u"10"},
      {4194304062, u"419430.4062"},
      {215000000000005, u"21500000000.0005"},
      {std::numeric_limits<std::int64_t>::max(), u"922337203685477.5807"},
      {std::numeric_limits<std::int64_t>::min(), u"-922337203685477.5808"},
  };
  for (const auto& [count, text] : cases) {
    EXPECT_EQ(textFromCurrency(Currency(count)), text) << count;
    EXPECT_EQ(textFromCurrency(Currency(count)).utf8(), utf8FromText(text)) << count;
  }
}

TEST(Text, Utf8FromTextHandlesSurrogates) {
  EXPECT_EQ(utf8FromText(u"a\u00e9\u20ac"), "a\xc3\xa9\xe2\x82\xac");
  EXPECT_EQ(utf8FromText(u"\U0001F600"), "\xf0\x9f\x98\x80");
  const char16_t lone[] = {u'x', char16_t{0xD800}, u'y', 0};
  EXPECT_EQ(utf8FromText(lone), "x\xef\xbf\xbdy");
}

}  // namespace
}  // namespace runtime
