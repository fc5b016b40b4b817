#pragma once

#include "runtime/text.h"

namespace runtime {

// The Single (IEEE 754 binary32) nearest to the number that `text` spells, rounded once
// and correctly, ties to even. The spelling does not depend on the process locale.
//
// Accepted spellings, where blank is a space, a tab or a no-break space:
//
//   text     = blank* [sign] ["$"] mantissa [exponent] blank*
//   sign     = "+" | "-"
//   mantissa = integer ["." digit*] | "." digit+
//   integer  = digit+ | digit [digit [digit]] ("," digit digit digit)+
//   exponent = ("e" | "E") [sign] digit+
//   digit    = "0" | "1" | ... | "9"
//
// so "5", "-5", "+5", "19.99", ".5", "5.", " 5 ", "1e3", "2.5E-2", "$1,299.99" and "-$5" are
// numbers, and "", "  ", "abc", "1.2.3", "--5", "5abc", "1 000", "1,00", "nan", "inf" and
// "0x10" are not.
//
// Throws RunTimeError of kind PriceNotANumber for a text outside that grammar, and of kind
// Overflow for a number that rounds beyond the binary32 range. A number too small for a
// binary32 rounds to a subnormal or to a zero of its sign, without error.
// Texts of any length are read exactly: leading zeros, trailing zeros and an exponent of
// any number of digits cancel as they do on paper ("0.000…001e1000…" with a million zeros
// in each is 1).
// Time is linear in the length of the text; reading a number allocates no memory.
[[nodiscard]] float singleFromText(TextView text);

}  // namespace runtime
