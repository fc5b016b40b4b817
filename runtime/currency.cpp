#include "runtime/currency.h"

#include <cmath>

#include "runtime/bits.h"
#include "runtime/run_time_error.h"

namespace runtime {

__extension__ using UInt128 = unsigned __int128;

namespace {

// The layout of an IEEE 754 binary64.
constexpr int kFractionBits = 52;
constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << kFractionBits) - 1;
constexpr unsigned kExponentMask = 0x7FF;
constexpr int kExponentBias = 1023;
// The exponent of the lowest bit of the integer significand: of a normal number with
// biased exponent e it is e - bias - 52; of a subnormal, that of e = 1.
constexpr int kSignificandShift = kExponentBias + kFractionBits;  // 1075
constexpr int kSubnormalExponent = 1 - kSignificandShift;         // -1074

}  // namespace

Currency currencyFromFloat(double value) {
  // Work on the exact binary value: value = significand * 2^exponent with a 53-bit integer
  // significand. Multiplying that by 10,000 needs at most 67 bits, so an unsigned 128-bit
  // integer holds it without loss, and the final shift decides the rounding exactly.
  // (Scaling in double arithmetic first would round twice.)
  if (!std::isfinite(value)) {
    throw RunTimeError::taxOverflow();
  }

  // Fast path. Below 2^51 every point halfway between two whole numbers is a double, and
  // scaled (the double nearest the exact value times 10,000) has no other double between it
  // and the exact value. So unless scaled lands exactly on a halfway point, no halfway point
  // separates it from the exact value and both round to the same whole number. The rare
  // landings on a halfway point are decided exactly below.
  const double scaled = value * static_cast<double>(Currency::kScale);
  if (std::fabs(scaled) < 0x1p51) {
    const auto whole = static_cast<std::int64_t>(scaled);  // toward zero, exact here
    const double fraction = scaled - static_cast<double>(whole);  // exact: same sign, < 1 apart
    if (fraction > 0.5) return Currency(whole + 1);
    if (fraction < -0.5) return Currency(whole - 1);
    if (fraction != 0.5 && fraction != -0.5) return Currency(whole);
  }

  const auto bits = bitCast<std::uint64_t>(value);
  const bool negative = (bits >> 63) != 0;
  const auto biased = static_cast<int>((bits >> kFractionBits) & kExponentMask);
  std::uint64_t significand = bits & kFractionMask;
  int exponent = kSubnormalExponent;
  if (biased != 0) {
    significand |= std::uint64_t{1} << kFractionBits;
    exponent = biased - kSignificandShift;
  }

  // |result| may reach 2^63 for a negative value, 2^63 - 1 for a positive one.
  const UInt128 limit =
      (static_cast<UInt128>(1) << 63) - (negative ? 0 : 1);
  UInt128 magnitude = static_cast<UInt128>(significand) * Currency::kScale;

  if (exponent >= 0) {
    if (magnitude != 0 && (exponent >= 64 || magnitude > (limit >> exponent))) {
      throw RunTimeError::taxOverflow();
    }
    magnitude <<= exponent;
  } else {
    const int shift = -exponent;
    if (shift >= 68) {
      // magnitude < 2^67, so the exact value is below one half: it rounds to zero.
      magnitude = 0;
    } else {
      const UInt128 one = 1;
      const UInt128 fraction = magnitude & ((one << shift) - 1);
      const UInt128 half = one << (shift - 1);
      magnitude >>= shift;
      if (fraction > half || (fraction == half && (magnitude & 1) != 0)) {
        ++magnitude;
      }
    }
    if (magnitude > limit) {
      throw RunTimeError::taxOverflow();
    }
  }

  const auto low = static_cast<std::uint64_t>(magnitude);
  // Two's complement negation of the magnitude; defined for 2^63 as well.
  return Currency(static_cast<std::int64_t>(negative ? (~low + 1) : low));
}

}  // namespace runtime
