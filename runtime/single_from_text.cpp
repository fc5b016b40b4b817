#include "runtime/single_from_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

#include "fast_float/fast_float.h"
#include "runtime/run_time_error.h"

namespace runtime {

namespace {

// Significant digits kept for the exact conversion. Every point halfway between two
// binary32 values, and the overflow threshold, has at most 113 significant digits, so the
// digits past this many can only matter through whether any of them is nonzero (the
// "sticky" digit appended below).
constexpr int kKeptDigits = 160;
// Significant digits gathered into a 64-bit integer on the first pass.
constexpr int kMantissaDigits = 19;
// Written exponents saturate here. The digits of a text move the point by at most its
// length, which is far below this for any text that fits in memory, so a saturated
// exponent still decides between overflow and zero; and the sum cannot overflow.
constexpr std::int64_t kExponentCap = 100'000'000'000'000'000;  // 10^17

constexpr bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The number as read on the first pass: value = 0.d1 d2 d3 ... * 10^pointPosition, where d1
// is the first nonzero digit; the first 19 significant digits are in `mantissa`.
struct Scanned {
  bool negative = false;
  std::uint64_t mantissa = 0;
  int mantissaDigits = 0;
  bool moreDigits = false;  // significant digits past the first 19
  std::int64_t pointPosition = 0;
  std::size_t digitsBegin = 0;  // where the mantissa's characters start and end
  std::size_t digitsEnd = 0;
};

class Parser {
 public:
  explicit Parser(TextView text) : text_(text) {}

  // Reads the whole text; false when it is not in the grammar.
  bool parse(Scanned& number) {
    end_ = text_.size();
    while (end_ > 0 && isBlankChar(text_[end_ - 1])) --end_;
    while (pos_ < end_ && isBlankChar(text_[pos_])) ++pos_;

    number.negative = accept(u'-');
    if (!number.negative) accept(u'+');
    accept(u'$');

    number.digitsBegin = pos_;
    if (!readInteger(number)) return false;
    bool anyDigit = pos_ > number.digitsBegin;
    if (accept(u'.')) anyDigit = readDigits(number, false) > 0 || anyDigit;
    if (!anyDigit) return false;
    number.digitsEnd = pos_;

    if (accept(u'e') || accept(u'E')) {
      const bool negativeExponent = accept(u'-');
      if (!negativeExponent) accept(u'+');
      if (pos_ == end_ || !isDigit(text_[pos_])) return false;
      std::int64_t exponent = 0;
      for (; pos_ < end_ && isDigit(text_[pos_]); ++pos_) {
        exponent = std::min(kExponentCap, exponent * 10 + (text_[pos_] - u'0'));
      }
      number.pointPosition += negativeExponent ? -exponent : exponent;
    }
    return pos_ == end_;
  }

 private:
  bool accept(char16_t c) {
    if (pos_ < end_ && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  // A run of digits before or after the point; returns how many there were.
  std::size_t readDigits(Scanned& number, bool beforePoint) {
    const std::size_t start = pos_;
    if (number.mantissaDigits == 0) {  // leading zeros only move the point
      while (pos_ < end_ && text_[pos_] == u'0') ++pos_;
      if (!beforePoint) number.pointPosition -= static_cast<std::int64_t>(pos_ - start);
    }
    const std::size_t significant = pos_;
    for (; pos_ < end_ && isDigit(text_[pos_]); ++pos_) {
      if (number.mantissaDigits < kMantissaDigits) {
        number.mantissa = number.mantissa * 10 + static_cast<unsigned>(text_[pos_] - u'0');
        ++number.mantissaDigits;
      } else {
        number.moreDigits = true;
      }
    }
    if (beforePoint) number.pointPosition += static_cast<std::int64_t>(pos_ - significant);
    return pos_ - start;
  }

  // Plain digits, or digits grouped in threes by commas. False for a malformed grouping.
  bool readInteger(Scanned& number) {
    const std::size_t lead = readDigits(number, true);
    if (pos_ == end_ || text_[pos_] != u',') return true;
    if (lead == 0 || lead > 3) return false;
    while (accept(u',')) {
      if (readDigits(number, true) != 3) return false;
    }
    return true;
  }

  TextView text_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
};

// Powers of ten that a binary32 holds exactly (5^10 < 2^24).
constexpr std::array<float, 11> kExactPowers = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                                1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

// The general case: the significant digits, a sticky digit for any nonzero digit past the
// kept ones, and the exponent, handed to fast_float's correctly rounded conversion (the
// standard library's float from_chars is missing from some libraries this is built with).
// Returns the magnitude; throws for overflow.
float convertExactly(TextView text, const Scanned& number) {
  std::array<char, kKeptDigits + 16> buf;  // digits, sticky digit, 'e', exponent
  std::size_t len = 0;
  bool sticky = false;
  for (std::size_t i = number.digitsBegin; i < number.digitsEnd; ++i) {
    const char16_t c = text[i];
    if (!isDigit(c) || (len == 0 && c == u'0')) continue;  // separators, leading zeros
    if (len < kKeptDigits) {
      buf[len++] = static_cast<char>(c);
    } else if (c != u'0') {
      sticky = true;
      break;
    }
  }
  if (sticky) buf[len++] = '1';
  const auto exponent = number.pointPosition - static_cast<std::int64_t>(len);
  buf[len++] = 'e';
  const auto written = std::to_chars(buf.data() + len, buf.data() + buf.size(), exponent);
  float magnitude = 0;
  const auto result = fast_float::from_chars(buf.data(), written.ptr, magnitude);
  // Older versions of the library give an infinity or a zero for a number out of range;
  // newer ones say so as std::from_chars does. Either way the point's position tells which.
  if (result.ec == std::errc::result_out_of_range || std::isinf(magnitude)) {
    if (number.pointPosition > 0) throw RunTimeError::priceOverflow(text);
    return 0;
  }
  return magnitude;
}

}  // namespace

float singleFromText(TextView text) {
  Scanned number;
  if (!Parser(text).parse(number)) throw RunTimeError::priceNotANumber(text);
  const float zero = number.negative ? -0.0f : 0.0f;
  if (number.mantissaDigits == 0) return zero;

  // Exact fast path: an integer below 2^24 is exact in a binary32, and so are the powers of
  // ten up to 10^10; one multiplication or division of exact operands is correctly rounded.
  if (!number.moreDigits) {
    std::uint64_t whole = number.mantissa;
    std::int64_t scale = number.pointPosition - number.mantissaDigits;
    while (whole % 10 == 0) {
      whole /= 10;
      ++scale;
    }
    if (whole < (1u << 24) && scale >= -10 && scale <= 10) {
      const auto w = static_cast<float>(whole);
      const float magnitude = scale < 0 ? w / kExactPowers[static_cast<std::size_t>(-scale)]
                                        : w * kExactPowers[static_cast<std::size_t>(scale)];
      return number.negative ? -magnitude : magnitude;
    }
  }

  // 0.1 * 10^40 is beyond the largest binary32; 10^-50 is below half the smallest subnormal.
  if (number.pointPosition > 40) throw RunTimeError::priceOverflow(text);
  if (number.pointPosition < -50) return zero;
  const float magnitude = convertExactly(text, number);
  return number.negative ? -magnitude : magnitude;
}

}  // namespace runtime
