#pragma once

#include <array>
#include <cstddef>

#include "runtime/bits.h"

namespace calc {

enum class State { Pennsylvania, Ohio, Maryland, NewYork, Delaware };

struct RateRow {
  State state;
  float rate;  // a Single, as the tax is computed from it
};

// One row per state, in the order the Calculate command tests them, which is also their
// order from top to bottom in the window.
inline constexpr std::array<RateRow, 5> kRateTable{{
    {State::Pennsylvania, 0.06f},
    {State::Ohio, 0.05f},
    {State::Maryland, 0.8f},  // eight tenths, as the rate was set
    {State::NewYork, 0.075f},
    {State::Delaware, 0.0f},
}};
inline constexpr std::size_t kStateCount = kRateTable.size();

// The rates are fixed to the bit; a changed literal or a rounding surprise fails the build.
static_assert(runtime::bitsOf(kRateTable[0].rate) == 0x3D75C28Fu);
static_assert(runtime::bitsOf(kRateTable[1].rate) == 0x3D4CCCCDu);
static_assert(runtime::bitsOf(kRateTable[2].rate) == 0x3F4CCCCDu);
static_assert(runtime::bitsOf(kRateTable[3].rate) == 0x3D99999Au);
static_assert(runtime::bitsOf(kRateTable[4].rate) == 0x00000000u);

// Each state's row stands at the state's own index, so a state finds its rate directly.
constexpr std::size_t indexOf(State state) { return static_cast<std::size_t>(state); }
constexpr bool rowsFollowTheStates() {
  for (std::size_t i = 0; i < kRateTable.size(); ++i) {
    if (indexOf(kRateTable[i].state) != i) return false;
  }
  return true;
}
static_assert(rowsFollowTheStates());

constexpr float rateOf(State state) { return kRateTable[indexOf(state)].rate; }

}  // namespace calc
