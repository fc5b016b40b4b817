#include "runtime/text.h"

#include <algorithm>
#include <array>

namespace runtime {

namespace {

// "00" to "99", two characters a pair.
constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

}  // namespace

CurrencyText textFromCurrency(Currency value) {
  CurrencyText out;
  auto& buf = out.chars_;
  std::size_t pos = CurrencyText::kCapacity;
  const std::int64_t raw = value.raw();
  // The magnitude as unsigned, so that the most negative value needs no special case.
  std::uint64_t whole =
      raw < 0 ? ~static_cast<std::uint64_t>(raw) + 1 : static_cast<std::uint64_t>(raw);
  auto fraction = static_cast<unsigned>(whole % 10'000);
  whole /= 10'000;

  if (fraction != 0) {
    const std::size_t high = 2 * static_cast<std::size_t>(fraction / 100);
    const std::size_t low = 2 * static_cast<std::size_t>(fraction % 100);
    const std::array<char, 4> digits = {kDigitPairs[high], kDigitPairs[high + 1],
                                        kDigitPairs[low], kDigitPairs[low + 1]};
    std::size_t count = digits.size();
    while (digits[count - 1] == '0') --count;  // no trailing zeros
    pos -= count;
    std::copy_n(digits.begin(), count, buf.begin() + static_cast<std::ptrdiff_t>(pos));
    buf[--pos] = u'.';
  }
  while (whole >= 100) {
    const std::size_t pair = 2 * static_cast<std::size_t>(whole % 100);
    whole /= 100;
    buf[--pos] = static_cast<char16_t>(kDigitPairs[pair + 1]);
    buf[--pos] = static_cast<char16_t>(kDigitPairs[pair]);
  }
  if (whole >= 10) {
    const std::size_t pair = 2 * static_cast<std::size_t>(whole);
    buf[--pos] = static_cast<char16_t>(kDigitPairs[pair + 1]);
    buf[--pos] = static_cast<char16_t>(kDigitPairs[pair]);
  } else {
    buf[--pos] = static_cast<char16_t>(u'0' + whole);
  }
  if (raw < 0) buf[--pos] = u'-';
  out.first_ = pos;
  return out;
}

std::string CurrencyText::utf8() const {
  const TextView v = view();
  return std::string(v.begin(), v.end());
}

std::string utf8FromText(TextView text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

bool isBlank(TextView text) { return std::all_of(text.begin(), text.end(), isBlankChar); }

}  // namespace runtime
