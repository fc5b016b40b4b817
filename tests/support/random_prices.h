#pragma once

#include <cmath>
#include <cstdint>
#include <random>

#include "runtime/bits.h"

namespace testing_support {

// Seeded sources of binary32 prices: every finite bit pattern alike (the whole exponent
// range), and prices of everyday size (2^-20 to 2^50, both signs).
class PriceSource {
 public:
  explicit PriceSource(std::uint64_t seed) : engine_(seed) {}

  float anyFinite() {
    for (;;) {
      const float f = runtime::bitCast<float>(static_cast<std::uint32_t>(engine_()));
      if (std::isfinite(f)) return f;
    }
  }

  float everyday() {
    const auto exponent = static_cast<std::uint32_t>(engine_() % 71) + 127 - 20;
    const auto fraction = static_cast<std::uint32_t>(engine_()) & 0x7FFFFF;
    const auto sign = static_cast<std::uint32_t>(engine_() & 1) << 31;
    return runtime::bitCast<float>(sign | exponent << 23 | fraction);
  }

  std::uint64_t next() { return engine_(); }

 private:
  std::mt19937_64 engine_;
};

}  // namespace testing_support
