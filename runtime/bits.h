#pragma once

#include <cstdint>
#include <type_traits>

namespace runtime {

// The object representation of `from` read as a `To` of the same size, in constant
// expressions as at run time: what std::bit_cast does, through the compiler builtin it is
// made of, which g++ and clang give whether or not their standard library has std::bit_cast
// yet (the libc++ of Debian 12's emscripten does not). Costs nothing at run time.
template <class To, class From>
  requires(sizeof(To) == sizeof(From) && std::is_trivially_copyable_v<To> && std::is_trivially_copyable_v<From>)
[[nodiscard]] constexpr To bitCast(const From& from) noexcept {
  return __builtin_bit_cast(To, from);
}

// The bits of a Single.
[[nodiscard]] constexpr std::uint32_t bitsOf(float value) noexcept { return bitCast<std::uint32_t>(value); }

}  // namespace runtime
