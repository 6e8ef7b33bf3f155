#pragma once
// The scaling part of an item argument: `name*scale+offset(scope:index)`.
//
// Read from the argument's last '*' with the pattern "*%f+%f(%d:%d)": a '*',
// a float (scale), a '+', a float (offset), '(', an integer (units scope),
// ':', an integer (units index). Reading stops at the first character that
// does not fit; the fields after that point keep their defaults. So `*0.1`
// gives a scale only, `*1+-40` a negative offset, `*1+0(0:3)` units string 3
// of scope 0; `*2-1` gives scale 2 and offset 0 (the '-' does not fit).
//
// Numbers are read the way scanf reads %f and %d (leading white space and a
// sign allowed, exponents, "inf" and "nan"), but always with '.' as the
// decimal separator: format files are written in one syntax whatever the
// user's locale. A float beyond the single-precision range reads as an
// infinity, one below it as 0; an integer beyond 32 bits saturates.
#include <cstdint>
#include <string_view>

namespace vornfmt {

struct ScalingPart {
  float scale = 1.0f;
  float offset = 0.0f;
  std::int32_t units_scope = 0;
  std::int32_t units_index = 0;
};

ScalingPart ReadScalingPart(std::u16string_view argument);

}  // namespace vornfmt
