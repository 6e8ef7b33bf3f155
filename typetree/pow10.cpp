#include "typetree/pow10.h"

namespace vornfmt {

long double Pow10(int32_t exponent) {
  long double result = 1.0L;
  long double factor = 10.0L;
  uint32_t rest = exponent < 0 ? 0u - static_cast<uint32_t>(exponent) : static_cast<uint32_t>(exponent);
  while (rest != 0) {
    if (rest & 1u) result *= factor;
    rest >>= 1;
    if (rest != 0) factor *= factor;
  }
  return exponent < 0 ? 1.0L / result : result;
}

long double TimesPow10(long double x, int32_t exponent) {
  return exponent < 0 ? x / Pow10(-int64_t{exponent} > INT32_MAX ? INT32_MAX : -exponent) : x * Pow10(exponent);
}

long double DividedByPow10(long double x, int32_t exponent) {
  return exponent < 0 ? x * Pow10(-int64_t{exponent} > INT32_MAX ? INT32_MAX : -exponent) : x / Pow10(exponent);
}

}  // namespace vornfmt
