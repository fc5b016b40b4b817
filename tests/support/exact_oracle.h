#pragma once

// An exact reference for the tax, independent of the code under test: it never forms the
// product as a double, but multiplies the two binary32 significands and 10,000 as integers
// and rounds the scaled product by comparing twice the remainder with the divisor.

#include <cstdint>
#include <optional>
#include <string>

#include "runtime/bits.h"

namespace oracle {

__extension__ using UInt128 = unsigned __int128;

struct Binary32 {
  bool negative;
  std::uint32_t significand;  // value = significand * 2^exponent
  int exponent;
};

inline Binary32 decompose(float f) {
  const auto bits = runtime::bitCast<std::uint32_t>(f);
  const auto biased = static_cast<int>((bits >> 23) & 0xFF);
  const std::uint32_t fraction = bits & 0x7FFFFF;
  if (biased == 0) return {(bits >> 31) != 0, fraction, -149};
  return {(bits >> 31) != 0, fraction | 0x800000u, biased - 150};
}

// The tax in ten-thousandths for finite `price` and `rate`, or nothing when it lies beyond
// the Currency range.
inline std::optional<std::int64_t> exactTax(float price, float rate) {
  const Binary32 p = decompose(price);
  const Binary32 r = decompose(rate);
  const UInt128 scaled =
      static_cast<UInt128>(std::uint64_t{p.significand} * r.significand) * 10000u;
  const int exponent = p.exponent + r.exponent;
  const bool negative = p.negative != r.negative;
  if (scaled == 0) return 0;

  UInt128 rounded = 0;
  if (exponent >= 0) {
    if (exponent > 64) return std::nullopt;  // scaled >= 1, so at least 2^65
    rounded = scaled << exponent;            // scaled < 2^62: no loss
  } else if (-exponent <= 100) {
    const int shift = -exponent;
    const UInt128 divisor = static_cast<UInt128>(1) << shift;
    rounded = scaled / divisor;
    const UInt128 twiceRemainder = 2 * (scaled % divisor);
    if (twiceRemainder > divisor || (twiceRemainder == divisor && rounded % 2 == 1)) ++rounded;
  }  // else: below 2^62 / 2^100, which rounds to zero

  const UInt128 limit = (static_cast<UInt128>(1) << 63) - (negative ? 0 : 1);
  if (rounded > limit) return std::nullopt;
  const auto magnitude = static_cast<std::uint64_t>(rounded);
  return negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
}

// The decimal text of a count of ten-thousandths, built from the integer's own digits.
inline std::string decimalText(std::int64_t raw) {
  const std::uint64_t magnitude =
      raw < 0 ? 0 - static_cast<std::uint64_t>(raw) : static_cast<std::uint64_t>(raw);
  std::string digits = std::to_string(magnitude);
  if (digits.size() < 5) digits.insert(0, 5 - digits.size(), '0');
  std::string text = digits.substr(0, digits.size() - 4) + "." + digits.substr(digits.size() - 4);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return raw < 0 ? "-" + text : text;
}

}  // namespace oracle
