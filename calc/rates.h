#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <string_view>

namespace calc {

enum class State { Pennsylvania, Ohio, Maryland, NewYork, Delaware };

struct RateRow {
  State state;
  std::string_view option;  // the option button that selects the state
  float rate;               // a Single, as the tax is computed from it
};

// One row per state, in the order the Calculate command tests them, which is also their
// order from top to bottom in the window.
inline constexpr std::array<RateRow, 5> kRateTable{{
    {State::Pennsylvania, "optPA", 0.06f},
    {State::Ohio, "optOH", 0.05f},
    {State::Maryland, "optMD", 0.8f},  // eight tenths, as the rate was set
    {State::NewYork, "optNY", 0.075f},
    {State::Delaware, "optDE", 0.0f},
}};

// The rates are fixed to the bit; a changed literal or a rounding surprise fails the build.
static_assert(std::bit_cast<std::uint32_t>(kRateTable[0].rate) == 0x3D75C28Fu);
static_assert(std::bit_cast<std::uint32_t>(kRateTable[1].rate) == 0x3D4CCCCDu);
static_assert(std::bit_cast<std::uint32_t>(kRateTable[2].rate) == 0x3F4CCCCDu);
static_assert(std::bit_cast<std::uint32_t>(kRateTable[3].rate) == 0x3D99999Au);
static_assert(std::bit_cast<std::uint32_t>(kRateTable[4].rate) == 0x00000000u);

// Each state's row stands at the state's own index, so a state finds its rate directly.
constexpr bool rowsFollowTheStates() {
  for (std::size_t i = 0; i < kRateTable.size(); ++i) {
    if (static_cast<std::size_t>(kRateTable[i].state) != i) return false;
  }
  return true;
}
static_assert(rowsFollowTheStates());

constexpr float rateOf(State state) { return kRateTable[static_cast<std::size_t>(state)].rate; }

}  // namespace calc
