#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "run_time_errors.h"
#include "runtime/bits.h"
#include "runtime/run_time_error.h"
#include "runtime/single_from_text.h"

namespace runtime {
namespace {

using runtime::bitsOf;
std::uint32_t parsedBits(TextView text) { return bitsOf(singleFromText(text)); }

Text widen(const std::string& s) { return Text(s.begin(), s.end()); }

std::optional<ErrorKind> errorKindOf(TextView text) {
  return testing_support::raisedKind([&] { (void)singleFromText(text); });
}
std::string messageFor(TextView text) {
  return testing_support::raisedMessage([&] { (void)singleFromText(text); });
}

TEST(SingleFromText, AcceptsPlainDecimalsWithOptionalSign) {
  EXPECT_EQ(parsedBits(u"5"), 0x40A00000u);
  EXPECT_EQ(parsedBits(u"-5"), 0xC0A00000u);
  EXPECT_EQ(parsedBits(u"+5"), 0x40A00000u);
  EXPECT_EQ(parsedBits(u"19.99"), 0x419FEB85u);  // 19.9899997711181640625
  EXPECT_EQ(parsedBits(u".5"), 0x3F000000u);
  EXPECT_EQ(parsedBits(u"5."), 0x40A00000u);
  EXPECT_EQ(parsedBits(u"100"), 0x42C80000u);
  EXPECT_EQ(parsedBits(u"0"), 0x00000000u);
  EXPECT_EQ(parsedBits(u"-0"), 0x80000000u);
  EXPECT_EQ(parsedBits(u"000012.500"), 0x41480000u);
  EXPECT_EQ(parsedBits(u"8388608"), 0x4B000000u);
  EXPECT_EQ(parsedBits(u"16777217"), 0x4B800000u);  // halfway between 2^24 and 2^24 + 2: even
  EXPECT_EQ(parsedBits(u"0.1"), 0x3DCCCCCDu);
}

TEST(SingleFromText, AcceptsWhatUsersTypeOrPaste) {
  EXPECT_EQ(parsedBits(u"  5 "), 0x40A00000u);
  EXPECT_EQ(parsedBits(u"\t5\u00A0"), 0x40A00000u);
  EXPECT_EQ(parsedBits(u"1e3"), 0x447A0000u);
  EXPECT_EQ(parsedBits(u"2.5E-2"), 0x3CCCCCCDu);
  EXPECT_EQ(parsedBits(u"1E+2"), 0x42C80000u);
  EXPECT_EQ(parsedBits(u"$5"), 0x40A00000u);
  EXPECT_EQ(parsedBits(u"-$5"), 0xC0A00000u);
  EXPECT_EQ(parsedBits(u"$1,299.99"), 0x44A27FAEu);
  EXPECT_EQ(parsedBits(u"1,000,000"), 0x49742400u);
}

TEST(SingleFromText, RejectsEverythingElseAsNotANumber) {
  for (const char16_t* text :
       {u"", u" ", u"   \t", u"abc", u"1.2.3", u"--5", u"+-5", u"5abc", u"1 000", u"nan", u"NaN",
        u"inf", u"-inf", u"infinity", u"0x10", u".", u"-", u"$", u"e5", u"1e", u"1e+", u"5-",
        u"$-5", u"5$", u"1,00", u"1,0000", u",100", u"1000,000", u"1,,000", u"1,000,00",
        u"1.000,00", u"\uFF15", u"\u0665", u"1e3.5", u"..5"}) {
    EXPECT_EQ(errorKindOf(text), ErrorKind::PriceNotANumber) << utf8FromText(text);
  }
  EXPECT_EQ(errorKindOf(Text(u"5\0", 2)), ErrorKind::PriceNotANumber);
}

TEST(SingleFromText, ErrorMessagesQuoteThePrice) {
  EXPECT_EQ(messageFor(u"abc"), "The price \"abc\" is not a number.");
  EXPECT_EQ(messageFor(u"  "), "Please enter a price: the price box is empty.");
  EXPECT_EQ(messageFor(Text(100, u'x')), "The price \"" + std::string(40, 'x') + "...\" is not a number.");
  // A long price is cut between characters: an emoji straddling the cut is left out whole.
  EXPECT_EQ(messageFor(Text(39, u'x') + u"\U0001F600yz" + Text(10, u'x')),
            "The price \"" + std::string(39, 'x') + "...\" is not a number.");
  EXPECT_EQ(messageFor(Text(38, u'x') + u"\U0001F600yz" + Text(10, u'x')),
            "The price \"" + std::string(38, 'x') + "\xF0\x9F\x98\x80...\" is not a number.");
}

TEST(SingleFromText, OverflowsPastTheBinary32Range) {
  EXPECT_EQ(parsedBits(u"3.4028234663852886e38"), 0x7F7FFFFFu);  // FLT_MAX exactly
  EXPECT_EQ(parsedBits(u"340282356779733661637539395458142568447"), 0x7F7FFFFFu);  // tie - 1
  EXPECT_EQ(errorKindOf(u"340282356779733661637539395458142568448"), ErrorKind::Overflow);  // tie
  EXPECT_EQ(errorKindOf(u"1e39"), ErrorKind::Overflow);
  EXPECT_EQ(errorKindOf(u"-3.5e38"), ErrorKind::Overflow);
  EXPECT_EQ(errorKindOf(u"1e999999999999999999999"), ErrorKind::Overflow);
  EXPECT_EQ(errorKindOf(u"1" + Text(40, u'0')), ErrorKind::Overflow);
  EXPECT_EQ(messageFor(u"1e39"), "The price \"1e39\" is too large.");
}

TEST(SingleFromText, TinyValuesRoundToSubnormalsOrZero) {
  EXPECT_EQ(parsedBits(u"1.4e-45"), 0x00000001u);
  EXPECT_EQ(parsedBits(u"1e-40"), 0x000116C2u);
  EXPECT_EQ(parsedBits(u"1.1754942e-38"), 0x007FFFFFu);  // largest subnormal
  EXPECT_EQ(parsedBits(u"1.17549435e-38"), 0x00800000u);  // smallest normal
  // Exactly half the smallest subnormal ties to zero; anything above it rounds up.
  const Text half =
      u"7.00649232162408535461864791644958065640130970938257885878534141944895541342930300743319"
      u"094181060791015625e-46";
  EXPECT_EQ(parsedBits(half), 0x00000000u);
  EXPECT_EQ(parsedBits(u"-" + half), 0x80000000u);
  EXPECT_EQ(parsedBits(half.substr(0, half.size() - 4) + u"0001e-46"), 0x00000001u);
  EXPECT_EQ(parsedBits(u"1e-46"), 0x00000000u);
  EXPECT_EQ(parsedBits(u"-1e-999999"), 0x80000000u);
}

TEST(SingleFromText, DigitsFarPastTheFirstStillDecideTheRounding) {
  // 2^24 + 1 is halfway between two binary32 values; a nonzero digit 30,000 places later
  // pushes it up, zeros alone leave the tie to go to even.
  const Text tie = u"16777217." + Text(30'000, u'0');
  EXPECT_EQ(parsedBits(tie), 0x4B800000u);
  EXPECT_EQ(parsedBits(tie + u"1"), 0x4B800001u);
  // Many leading zeros before the point, then in the fraction.
  EXPECT_EQ(parsedBits(Text(32'000, u'0') + u"5"), 0x40A00000u);
  EXPECT_EQ(parsedBits(u"0." + Text(30, u'0') + u"1e31"), 0x3F800000u);
  EXPECT_EQ(parsedBits(u"0." + Text(32'000, u'0') + u"1e32001"), 0x3F800000u);
}

TEST(SingleFromText, HandlesTheLongestPriceBoxTexts) {
  // The box holds up to 32,767 characters; each of these must come back at once.
  const Text digits(32'767, u'9');
  EXPECT_EQ(errorKindOf(digits), ErrorKind::Overflow);
  EXPECT_EQ(parsedBits(u"." + Text(32'766, u'9')), 0x3F800000u);
  EXPECT_EQ(errorKindOf(Text(32'766, u'1') + u"x"), ErrorKind::PriceNotANumber);
  Text grouped = u"1";
  while (grouped.size() + 4 <= 32'767) grouped += u",000";
  EXPECT_EQ(errorKindOf(grouped), ErrorKind::Overflow);
  EXPECT_EQ(errorKindOf(Text(32'767, u' ')), ErrorKind::PriceNotANumber);
}

// Ten million characters whose zeros and exponent cancel, in both directions, and the
// edges of the range spelt the same way.
TEST(SingleFromText, ReadsTextsOfAnyLengthExactly) {
  constexpr std::size_t kZeros = 10'000'000;
  const Text zeros(kZeros, u'0');
  const auto exponent = [](std::int64_t e) { return u"e" + widen(std::to_string(e)); };
  const auto scaledDown = [&](const Text& digits, std::int64_t e) {  // 0.000…digits e(e + zeros)
    return u"0." + zeros + digits + exponent(e + static_cast<std::int64_t>(kZeros));
  };
  EXPECT_EQ(parsedBits(scaledDown(u"1", 1)), 0x3F800000u);
  EXPECT_EQ(parsedBits(scaledDown(u"1", 4)), 0x447A0000u);  // 1000
  EXPECT_EQ(parsedBits(scaledDown(u"1", 0)), 0x3DCCCCCDu);  // 0.1
  EXPECT_EQ(parsedBits(u"1" + zeros + exponent(-static_cast<std::int64_t>(kZeros))), 0x3F800000u);
  EXPECT_EQ(parsedBits(u"-1" + zeros + u".5e-10000000"), 0xBF800000u);  // -1.00…05 rounds to -1

  EXPECT_EQ(parsedBits(scaledDown(u"340282356779733661637539395458142568447", 39)), 0x7F7FFFFFu);
  EXPECT_EQ(errorKindOf(scaledDown(u"340282356779733661637539395458142568448", 39)), ErrorKind::Overflow);
  const Text half =
      u"700649232162408535461864791644958065640130970938257885878534141944895541342930300743319"
      u"094181060791015625";
  EXPECT_EQ(parsedBits(scaledDown(half, -45)), 0x00000000u);
  EXPECT_EQ(parsedBits(scaledDown(half + u"1", -45)), 0x00000001u);
  EXPECT_EQ(errorKindOf(scaledDown(u"1", 40)), ErrorKind::Overflow);
  EXPECT_EQ(parsedBits(scaledDown(u"1", -45)), 0x00000000u);
  // Exponents longer than any count of digits still decide overflow and zero.
  EXPECT_EQ(errorKindOf(u"0." + zeros + u"1e" + Text(30, u'9')), ErrorKind::Overflow);
  EXPECT_EQ(parsedBits(u"1" + zeros + u"e-" + Text(30, u'9')), 0x00000000u);
}

// Random decimal spellings compared with the C library's correctly rounded conversion.
TEST(SingleFromText, MatchesAnIndependentCorrectlyRoundedReference) {
  ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
  std::mt19937_64 rng(20261208);
  int compared = 0;
  for (int i = 0; i < 300'000; ++i) {
    std::string s;
    if (rng() % 2) s += '-';
    const int digits = 1 + static_cast<int>(rng() % (rng() % 4 == 0 ? 60 : 12));
    const int point = static_cast<int>(rng() % static_cast<std::uint64_t>(digits + 1));
    for (int d = 0; d < digits; ++d) {
      if (d == point && d != 0) s += '.';
      s += static_cast<char>('0' + rng() % 10);
    }
    if (rng() % 2) s += "e" + std::to_string(static_cast<int>(rng() % 100) - 60);

    const float expected = std::strtof(s.c_str(), nullptr);
    if (std::isinf(expected)) {
      EXPECT_EQ(errorKindOf(widen(s)), ErrorKind::Overflow) << s;
      continue;
    }
    ASSERT_EQ(parsedBits(widen(s)), bitsOf(expected)) << s;
    ++compared;
  }
  EXPECT_GT(compared, 250'000);
}

TEST(SingleFromText, IgnoresTheProcessLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
      std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr) {
    GTEST_SKIP() << "no locale with a decimal comma installed";
  }
  EXPECT_EQ(parsedBits(u"19.99"), 0x419FEB85u);
  EXPECT_EQ(errorKindOf(u"19,99"), ErrorKind::PriceNotANumber);
  std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
}  // namespace runtime
