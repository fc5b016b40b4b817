#pragma once

#include <compare>
#include <cstdint>

namespace runtime {

// A fixed-point amount counted in ten-thousandths: the value times 10,000 in a signed
// 64-bit integer. Its range is therefore -922337203685477.5808 to 922337203685477.5807.
class Currency {
 public:
  static constexpr std::int64_t kScale = 10'000;

  constexpr Currency() = default;
  constexpr explicit Currency(std::int64_t tenThousandths) : raw_(tenThousandths) {}

  [[nodiscard]] constexpr std::int64_t raw() const { return raw_; }

  friend constexpr auto operator<=>(Currency, Currency) = default;

 private:
  std::int64_t raw_ = 0;
};

// The value on the floating-point unit (a double holds any product of two Singles exactly)
// as the nearest whole number of ten-thousandths. The rounding is decided on the exact
// value of the argument, with ties going to the even count.
// Throws RunTimeError (overflow) when the result is outside the Currency range or the
// argument is not finite.
[[nodiscard]] Currency currencyFromFloat(double value);

}  // namespace runtime
