#pragma once
// Powers of ten for the decimal exponents of the type files, by repeated
// squaring in the widest floating type; negative exponents give 1 / 10^|b|.
#include <cstdint>

namespace vornfmt {

long double Pow10(int32_t exponent);

// x x 10^b. A negative exponent divides by 10^-b, which is exact as far as
// 10^27, instead of multiplying by an inexact 1 / 10^-b: a tenth of 25 is
// then 2.5 and not a hair less.
long double TimesPow10(long double x, int32_t exponent);
// x / 10^b, the same way round.
long double DividedByPow10(long double x, int32_t exponent);

}  // namespace vornfmt
