#pragma once

#include <array>
#include <string>
#include <string_view>

#include "runtime/currency.h"

namespace runtime {

// The runtime's text: UTF-16 code units with a length, owned by one variable at a time.
using Text = std::u16string;
using TextView = std::u16string_view;

// The spelling of a Currency value, held inline: at most 21 characters, so no memory is
// allocated on the way from a tax to its caption.
class CurrencyText {
 public:
  static constexpr std::size_t kCapacity = 21;  // "-922337203685477.5808"

  [[nodiscard]] TextView view() const { return {chars_.data() + first_, kCapacity - first_}; }
  operator TextView() const { return view(); }  // NOLINT: a spelling is a text
  [[nodiscard]] std::string utf8() const;

  friend bool operator==(const CurrencyText& a, TextView b) { return a.view() == b; }

 private:
  friend CurrencyText textFromCurrency(Currency value);
  std::array<char16_t, kCapacity> chars_;
  std::size_t first_ = kCapacity;
};

// Spells `value` as a plain decimal number: '.' as the decimal point, no thousands
// separators, no trailing zeros and no bare point, a "0" before the point for values under
// one, and a leading '-' for negative values ("0", "0.625", "-0.0001",
// "-922337203685477.5808").
[[nodiscard]] CurrencyText textFromCurrency(Currency value);

// UTF-8 for messages; a lone surrogate becomes U+FFFD.
[[nodiscard]] std::string utf8FromText(TextView text);

// True when the text holds nothing but blanks (spaces, tabs, no-break spaces).
[[nodiscard]] bool isBlank(TextView text);
[[nodiscard]] constexpr bool isBlankChar(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\u00A0';
}

}  // namespace runtime
