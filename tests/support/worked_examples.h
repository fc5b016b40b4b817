#pragma once

#include <array>
#include <cstdint>

#include "calc/rates.h"

namespace testing_support {

// Prices as typed, the state selected, and the tax: in ten-thousandths and as shown.
struct WorkedExample {
  calc::State state;
  const char16_t* price;
  std::int64_t tenThousandths;
  const char16_t* tax;
};

inline constexpr std::array<WorkedExample, 9> kWorkedExamples{{
    {calc::State::Pennsylvania, u"100", 60000, u"6"},
    {calc::State::Pennsylvania, u"19.99", 11994, u"1.1994"},  // four decimals, not cents
    {calc::State::Ohio, u"12.5", 6250, u"0.625"},
    {calc::State::Maryland, u"10", 80000, u"8"},  // eight tenths
    {calc::State::NewYork, u"10", 7500, u"0.75"},
    {calc::State::Pennsylvania, u"-5", -3000, u"-0.3"},
    {calc::State::Delaware, u"123.45", 0, u"0"},
    {calc::State::Delaware, u"100000000000000000000", 0, u"0"},
    {calc::State::Ohio, u"8388608", 4194304062, u"419430.4062"},  // an exact tie, to even
}};

}  // namespace testing_support
