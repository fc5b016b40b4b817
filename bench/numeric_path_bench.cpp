// Price text to tax text: the exact path of the Calculate command against as lean a naive
// path as there is (from_chars, a double multiply, llrint of the scaled value, and its
// digits written straight into a buffer on the stack with the point put in).
#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "calc/compute_tax.h"
#include "calc/rates.h"
#include "runtime/single_from_text.h"
#include "runtime/text.h"

namespace {

// Everyday prices with cents, 0.01 to 99,999.99, as typed.
std::vector<std::string> samplePrices() {
  std::mt19937 rng(2026);
  std::vector<std::string> prices;
  for (int i = 0; i < 1024; ++i) {
    const auto cents = static_cast<unsigned>(1 + rng() % 9'999'999);
    prices.push_back(std::to_string(cents / 100) + "." + std::to_string(cents % 100 / 10) +
                     std::to_string(cents % 10));
  }
  return prices;
}

struct NaiveText {
  std::array<char, 24> chars;
  std::size_t first;
};

NaiveText naiveTax(const std::string& price, float rate) {
  float value = 0;
  std::from_chars(price.data(), price.data() + price.size(), value);
  const long long count = std::llrint(static_cast<double>(value) * rate * 10000.0);
  NaiveText out;
  std::size_t pos = out.chars.size();
  unsigned long long magnitude = count < 0 ? 0 - static_cast<unsigned long long>(count)
                                           : static_cast<unsigned long long>(count);
  for (int digit = 0; digit < 5 || magnitude != 0; ++digit) {  // at least "0.0000"
    if (digit == 4) out.chars[--pos] = '.';
    out.chars[--pos] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  if (count < 0) out.chars[--pos] = '-';
  out.first = pos;
  return out;
}

void NaivePath(benchmark::State& state) {
  const auto prices = samplePrices();
  const float rate = calc::rateOf(calc::State::Pennsylvania);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(naiveTax(prices[i++ & 1023], rate));
  }
}

void ExactPath(benchmark::State& state) {
  std::vector<runtime::Text> prices;
  for (const auto& p : samplePrices()) prices.emplace_back(p.begin(), p.end());
  const float rate = calc::rateOf(calc::State::Pennsylvania);
  std::size_t i = 0;
  for (auto _ : state) {
    const float price = runtime::singleFromText(prices[i++ & 1023]);
    benchmark::DoNotOptimize(runtime::textFromCurrency(calc::ComputeTax(price, rate)));
  }
}

}  // namespace

BENCHMARK(NaivePath);
BENCHMARK(ExactPath);

BENCHMARK_MAIN();
