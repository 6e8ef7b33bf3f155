#pragma once
// The VARIANT conversions the drivers share: numbers travel as VT_R8 and
// become the type a host asks for; text travels as VT_BSTR.
#include <string_view>

#include "platform/automation/bstr_text.h"
#include "platform/automation/oleauto.h"

namespace vornfmt {

// Converts `v` in place to `vt`; 0 on success. On failure `v` is left
// VT_EMPTY and the code is answered (1 where the platform gives none).
//   - same type: nothing to do;
//   - from VT_BOOL: as the byte 1 (any non-zero value) or 0;
//   - from VT_BSTR: the platform's conversion; when that fails for another
//     reason than overflow but the text looks numeric (LooksNumeric), the
//     runtime's readers take its leading number (VT_I2: low 16 bits; VT_I4;
//     VT_R4; VT_R8; VT_I1: low 8 bits, delivered as VT_UI1);
//   - to VT_BOOL: through VT_R8, VARIANT_TRUE for any number but 0.0;
//   - to VT_BSTR: "%d" for VT_I1/I2/I4, "%u" for VT_UI2/UI4, "%.15g" for
//     VT_R4/R8, else the platform's conversion;
//   - otherwise the platform's conversion (VariantChangeType, flags 0).
HRESULT ConvertVariant(VARIANT* v, VARTYPE vt);

// ConvertVariant on a copy; `v` is replaced only on success.
HRESULT ConvertVariantCopy(VARIANT* v, VARTYPE vt);

// Not empty, and only decimal digits, '.', 'e', 'E', '+' and '-'.
bool LooksNumeric(std::u16string_view text);

}  // namespace vornfmt
