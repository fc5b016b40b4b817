// Price text in, tax text out: every input must either raise a run-time error of the kinds
// the conversion raises, or give, for each rate, the tax text of the exact oracle.
// Each input byte is one UTF-16 unit (bytes 0x80-0xFF become Latin-1 letters), and a leading
// byte 0xFE switches to reading pairs of bytes as UTF-16 units, so any unit can appear.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "calc/compute_tax.h"
#include "calc/rates.h"
#include "exact_oracle.h"
#include "runtime/bits.h"
#include "runtime/run_time_error.h"
#include "runtime/single_from_text.h"

namespace {

runtime::Text textFromBytes(const std::uint8_t* data, std::size_t size) {
  runtime::Text text;
  if (size > 0 && data[0] == 0xFE) {
    for (std::size_t i = 1; i + 1 < size; i += 2) {
      text += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    }
  } else {
    text.assign(data, data + size);
  }
  return text;
}

// What the C library reads from the text with the blanks, dollar sign and grouping commas
// that our grammar allows taken out; only called on texts the conversion accepted.
float referenceValue(const runtime::Text& text) {
  std::string plain;
  for (const char16_t c : text) {
    if (c == u'$' || c == u',' || runtime::isBlankChar(c)) continue;
    plain += static_cast<char>(c);
  }
  return std::strtof(plain.c_str(), nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const runtime::Text text = textFromBytes(data, size);
  float price = 0;
  try {
    price = runtime::singleFromText(text);
  } catch (const runtime::RunTimeError& e) {
    if (e.kind() == runtime::ErrorKind::Overflow) {
      // Only an accepted spelling can overflow, and the reference must agree.
      if (!std::isinf(referenceValue(text))) std::abort();
    } else if (e.kind() != runtime::ErrorKind::PriceNotANumber) {
      std::abort();
    }
    return 0;
  }
  if (!std::isfinite(price)) std::abort();
  const float reference = referenceValue(text);
  if (runtime::bitCast<std::uint32_t>(reference) != runtime::bitCast<std::uint32_t>(price)) std::abort();

  for (const calc::RateRow& row : calc::kRateTable) {
    const auto expected = oracle::exactTax(price, row.rate);
    try {
      const auto tax = runtime::textFromCurrency(calc::ComputeTax(price, row.rate));
      if (!expected || tax.utf8() != oracle::decimalText(*expected)) std::abort();
    } catch (const runtime::RunTimeError& e) {
      if (expected || e.kind() != runtime::ErrorKind::Overflow) std::abort();
    }
  }
  return 0;
}
