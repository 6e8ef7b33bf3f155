// VariantChangeType.
//
// Rules (those of oleaut32, pinned down from its documentation and the Wine
// conformance tests where they say something; our own choices are marked):
// - The source is first dereferenced (VT_BYREF forms, one BYREF VARIANT
//   level) and copied; the destination is replaced only on success.
// - Same type: a copy. Target VT_EMPTY: empty. Target VT_NULL: VT_NULL.
// - VT_EMPTY reads as 0 (false, empty text); VT_NULL converts to nothing
//   else (DISP_E_TYPEMISMATCH).
// - Numbers to integer types (VT_I1 ... VT_UI8, VT_INT, VT_UINT) and to
//   VT_CY round half to even first, then test the range: 2.5 -> 2, -0.5 ->
//   0 (even for unsigned types), 127.5 -> VT_I1 overflows, -128.5 -> -128.
//   Outside the range, NaN or infinite: DISP_E_OVERFLOW.
// - VT_BOOL as a source is the integer -1 or 0, and goes into integer types
//   by truncation, never overflowing (VARIANT_TRUE -> VT_UI1 is 255, as on
//   Windows). Any non-zero number becomes VARIANT_TRUE.
// - VT_R4 targets overflow beyond +-FLT_MAX; VT_DATE targets outside
//   (-657435, 2958466) days.
// - To VT_BSTR: integers in decimal; VT_R8 as "%.15G", VT_R4 as "%.7G" (up to 15 / 7 significant
//   digits, exponent form "1E+15" / "1E-05" outside 1e-5 <= |x| < 1e15,
//   never "-0"), VT_CY with up to four decimals, all with the locale's
//   decimal separator; VT_BOOL as "-1" / "0", or "True" / "False" with
//   VARIANT_ALPHABOOL or VARIANT_LOCALBOOL (always English here).
// - From VT_BSTR: number text as number_text.cpp describes, in the current
//   numeric locale; DISP_E_TYPEMISMATCH when it is no number (empty text,
//   letters, blanks only), DISP_E_OVERFLOW when it is out of range. Integer
//   targets round the exact decimal value half to even ("2.5" -> 2).
//   "&HFFFF" to VT_I2 is -1: hexadecimal fills the bits of the target.
//   To VT_BOOL: "True" / "False" in any case, "#TRUE#" / "#FALSE#" exactly,
//   else a number (non-zero is true).
// - Not supported (our choice, as the system needs none of it): VT_DATE to
//   and from text and VT_DECIMAL targets answer DISP_E_BADVARTYPE; VT_DISPATCH,
//   VT_UNKNOWN, VT_RECORD and VT_ERROR sources and targets answer
//   DISP_E_TYPEMISMATCH (no default-property calls).
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/automation/emulation/number_text.h"
#include "platform/automation/emulation/oleauto.h"
#include "platform/automation/emulation/variant_internal.h"

namespace vornfmt::automation {
namespace {

constexpr double kDateMin = -657435.0;  // exclusive: 1 January 100 is -657434
constexpr double kDateMax = 2958466.0;  // exclusive: 31 December 9999 is 2958465

// A source value before it meets its target type.
struct Number {
  enum Kind { kInteger, kReal, kCurrency } kind = kInteger;
  __int128 integer = 0;
  double real = 0.0;
  int64_t currency = 0;
  bool fromBool = false;
};

struct IntegerRange {
  __int128 min;
  __int128 max;
  int bits;
  bool isSigned;
};

bool IntegerTarget(VARTYPE vt, IntegerRange& range) {
  switch (vt) {
    case VT_I1: range = {INT8_MIN, INT8_MAX, 8, true}; return true;
    case VT_UI1: range = {0, UINT8_MAX, 8, false}; return true;
    case VT_I2: range = {INT16_MIN, INT16_MAX, 16, true}; return true;
    case VT_UI2: range = {0, UINT16_MAX, 16, false}; return true;
    case VT_I4: case VT_INT: range = {INT32_MIN, INT32_MAX, 32, true}; return true;
    case VT_UI4: case VT_UINT: range = {0, UINT32_MAX, 32, false}; return true;
    case VT_I8: range = {INT64_MIN, INT64_MAX, 64, true}; return true;
    case VT_UI8: range = {0, UINT64_MAX, 64, false}; return true;
    default: return false;
  }
}

// Stores `value`'s low bits into the member of `out` for `vt`.
void StoreInteger(VARIANT& out, VARTYPE vt, __int128 value) {
  std::memset(&out, 0, sizeof out);
  out.vt = vt;
  switch (vt) {
    case VT_I1: out.cVal = static_cast<CHAR>(value); break;
    case VT_UI1: out.bVal = static_cast<BYTE>(value); break;
    case VT_I2: out.iVal = static_cast<SHORT>(value); break;
    case VT_UI2: out.uiVal = static_cast<USHORT>(value); break;
    case VT_I4: case VT_INT: out.lVal = static_cast<LONG>(value); break;
    case VT_UI4: case VT_UINT: out.ulVal = static_cast<ULONG>(value); break;
    case VT_I8: out.llVal = static_cast<LONGLONG>(value); break;
    case VT_UI8: out.ullVal = static_cast<ULONGLONG>(value); break;
    default: break;
  }
}

// Round half to even of a currency value to whole units.
__int128 RoundCurrency(int64_t value) {
  __int128 quotient = value / 10000;
  const int64_t remainder = value % 10000;
  const int64_t twice = 2 * (remainder < 0 ? -remainder : remainder);
  const int direction = remainder < 0 ? -1 : 1;
  if (twice > 10000 || (twice == 10000 && (quotient & 1))) quotient += direction;
  return quotient;
}

HRESULT RealToInteger(double value, const IntegerRange& range, __int128& out) {
  if (!std::isfinite(value)) return DISP_E_OVERFLOW;
  const double rounded = RoundHalfEven(value);
  // Every bound is a power of two or one less; compare in doubles first so
  // that huge values never reach the integer conversion.
  if (rounded < -9.3e18 || rounded > 1.9e19) return DISP_E_OVERFLOW;
  const __int128 whole = static_cast<__int128>(rounded);
  if (whole < range.min || whole > range.max) return DISP_E_OVERFLOW;
  out = whole;
  return S_OK;
}

HRESULT RealToCurrency(double value, int64_t& out) {
  if (!std::isfinite(value)) return DISP_E_OVERFLOW;
  const double scaled = RoundHalfEven(value * 10000.0);
  if (scaled < -9223372036854775808.0 || scaled >= 9223372036854775808.0) return DISP_E_OVERFLOW;
  out = static_cast<int64_t>(scaled);
  return S_OK;
}

double ToDouble(const Number& n) {
  switch (n.kind) {
    case Number::kInteger: return static_cast<double>(n.integer);
    case Number::kReal: return n.real;
    case Number::kCurrency: return static_cast<double>(n.currency) / 10000.0;
  }
  return 0.0;
}

bool IsZero(const Number& n) {
  switch (n.kind) {
    case Number::kInteger: return n.integer == 0;
    case Number::kReal: return n.real == 0.0;
    case Number::kCurrency: return n.currency == 0;
  }
  return true;
}

HRESULT MakeBstr(VARIANT& out, const std::u16string& text) {
  BSTR bstr = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (bstr == nullptr) return E_OUTOFMEMORY;
  out.vt = VT_BSTR;
  out.bstrVal = bstr;
  return S_OK;
}

void MakeBool(VARIANT& out, bool value) {
  out.vt = VT_BOOL;
  out.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

HRESULT MakeDouble(VARIANT& out, VARTYPE vt, double value) {
  if (vt == VT_R4) {
    if (std::isinf(value) || (std::isfinite(value) && std::fabs(value) > FLT_MAX)) return DISP_E_OVERFLOW;
    out.vt = VT_R4;
    out.fltVal = static_cast<float>(value);
    return S_OK;
  }
  if (vt == VT_DATE) {
    if (!(value > kDateMin && value < kDateMax)) return DISP_E_OVERFLOW;
    out.vt = VT_DATE;
    out.date = value;
    return S_OK;
  }
  out.vt = VT_R8;
  out.dblVal = value;
  return S_OK;
}

// Converts a number (not text) to vt. `source` is the original type, for
// the text forms.
HRESULT NumberTo(const Number& n, VARTYPE source, VARTYPE vt, USHORT flags, VARIANT& out) {
  IntegerRange range{};
  if (IntegerTarget(vt, range)) {
    __int128 value = 0;
    switch (n.kind) {
      case Number::kInteger:
        value = n.integer;
        if (!n.fromBool && (value < range.min || value > range.max)) return DISP_E_OVERFLOW;
        break;
      case Number::kReal: {
        const HRESULT hr = RealToInteger(n.real, range, value);
        if (FAILED(hr)) return hr;
        break;
      }
      case Number::kCurrency:
        value = RoundCurrency(n.currency);
        if (value < range.min || value > range.max) return DISP_E_OVERFLOW;
        break;
    }
    StoreInteger(out, vt, value);
    return S_OK;
  }
  switch (vt) {
    case VT_R4:
    case VT_R8:
    case VT_DATE:
      return MakeDouble(out, vt, ToDouble(n));
    case VT_CY: {
      int64_t value = 0;
      if (n.kind == Number::kCurrency) {
        value = n.currency;
      } else if (n.kind == Number::kInteger) {
        const __int128 scaled = n.integer * 10000;
        if (scaled < INT64_MIN || scaled > INT64_MAX) return DISP_E_OVERFLOW;
        value = static_cast<int64_t>(scaled);
      } else {
        const HRESULT hr = RealToCurrency(n.real, value);
        if (FAILED(hr)) return hr;
      }
      out.vt = VT_CY;
      out.cyVal.int64 = value;
      return S_OK;
    }
    case VT_BOOL:
      MakeBool(out, !IsZero(n));
      return S_OK;
    case VT_BSTR: {
      const NumericSeparators separators = CurrentSeparators();
      switch (source) {
        case VT_EMPTY: return MakeBstr(out, u"");
        case VT_BOOL:
          if (flags & (VARIANT_ALPHABOOL | VARIANT_LOCALBOOL)) return MakeBstr(out, n.integer ? u"True" : u"False");
          return MakeBstr(out, FormatSigned(static_cast<int64_t>(n.integer)));
        case VT_R4: return MakeBstr(out, FormatReal(n.real, 7, separators));
        case VT_R8: return MakeBstr(out, FormatReal(n.real, 15, separators));
        case VT_DATE: return DISP_E_BADVARTYPE;  // date text is not supported
        case VT_CY: return MakeBstr(out, FormatCurrency(n.currency, separators));
        default:
          if (n.integer < 0) return MakeBstr(out, FormatSigned(static_cast<int64_t>(n.integer)));
          return MakeBstr(out, FormatUnsigned(static_cast<uint64_t>(n.integer)));
      }
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

bool EqualsIgnoringCase(std::u16string_view text, std::u16string_view word) {
  if (text.size() != word.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    char16_t w = word[i];
    if (w >= u'A' && w <= u'Z') w = static_cast<char16_t>(w - u'A' + u'a');
    if (c != w) return false;
  }
  return true;
}

HRESULT TextTo(BSTR bstr, VARTYPE vt, VARIANT& out) {
  const std::u16string_view text(bstr == nullptr ? u"" : bstr, SysStringLen(bstr));
  if (vt == VT_BSTR) return MakeBstr(out, std::u16string(text));
  if (vt == VT_DATE) return DISP_E_BADVARTYPE;  // date text is not supported
  if (vt == VT_BOOL) {
    // "#TRUE#" / "#FALSE#" are matched exactly, the English words in any case.
    if (text == u"#TRUE#" || EqualsIgnoringCase(text, u"true")) {
      MakeBool(out, true);
      return S_OK;
    }
    if (text == u"#FALSE#" || EqualsIgnoringCase(text, u"false")) {
      MakeBool(out, false);
      return S_OK;
    }
  }
  IntegerRange range{};
  const bool integerTarget = IntegerTarget(vt, range);
  if (!integerTarget && vt != VT_R4 && vt != VT_R8 && vt != VT_CY && vt != VT_BOOL) return DISP_E_TYPEMISMATCH;

  ParsedNumber number;
  if (!ParseNumber(text, CurrentSeparators(), number)) return DISP_E_TYPEMISMATCH;

  if (number.radix) {
    if (number.radixTooBig) return DISP_E_OVERFLOW;
    if (integerTarget) {
      // The digits fill the target's bits: "&HFF" to VT_I1 is -1.
      if (range.bits < 64 && number.radixValue >> range.bits) return DISP_E_OVERFLOW;
      __int128 value = number.radixValue;
      if (range.isSigned && ((value >> (range.bits - 1)) & 1)) value -= static_cast<__int128>(1) << range.bits;
      StoreInteger(out, vt, value);
      return S_OK;
    }
    Number n;
    n.integer = number.radixValue;
    return NumberTo(n, VT_UI8, vt, 0, out);
  }
  if (integerTarget || vt == VT_CY) {
    uint64_t magnitude;
    if (!RoundParsed(number, vt == VT_CY ? 4 : 0, magnitude)) return DISP_E_OVERFLOW;
    const __int128 value = number.negative ? -static_cast<__int128>(magnitude) : static_cast<__int128>(magnitude);
    if (vt == VT_CY) {
      if (value < INT64_MIN || value > INT64_MAX) return DISP_E_OVERFLOW;
      out.vt = VT_CY;
      out.cyVal.int64 = static_cast<int64_t>(value);
      return S_OK;
    }
    if (value < range.min || value > range.max) return DISP_E_OVERFLOW;
    StoreInteger(out, vt, value);
    return S_OK;
  }
  double value;
  if (!ParsedToDouble(number, value)) return DISP_E_OVERFLOW;
  if (vt == VT_BOOL) {
    MakeBool(out, value != 0.0);
    return S_OK;
  }
  return MakeDouble(out, vt, value);
}

// Reads a plain (not BYREF, not array) source into a Number.
HRESULT ReadNumber(const VARIANT& v, Number& n) {
  n = Number{};
  switch (v.vt) {
    case VT_EMPTY: n.integer = 0; return S_OK;
    case VT_I1: n.integer = v.cVal; return S_OK;
    case VT_UI1: n.integer = v.bVal; return S_OK;
    case VT_I2: n.integer = v.iVal; return S_OK;
    case VT_UI2: n.integer = v.uiVal; return S_OK;
    case VT_I4: n.integer = v.lVal; return S_OK;
    case VT_UI4: n.integer = v.ulVal; return S_OK;
    case VT_INT: n.integer = v.intVal; return S_OK;
    case VT_UINT: n.integer = v.uintVal; return S_OK;
    case VT_I8: n.integer = v.llVal; return S_OK;
    case VT_UI8: n.integer = v.ullVal; return S_OK;
    case VT_BOOL:
      n.integer = v.boolVal;
      n.fromBool = true;
      return S_OK;
    case VT_R4: n.kind = Number::kReal; n.real = v.fltVal; return S_OK;
    case VT_R8: n.kind = Number::kReal; n.real = v.dblVal; return S_OK;
    case VT_DATE: n.kind = Number::kReal; n.real = v.date; return S_OK;
    case VT_CY: n.kind = Number::kCurrency; n.currency = v.cyVal.int64; return S_OK;
    case VT_DECIMAL: return DISP_E_BADVARTYPE;
    default: return DISP_E_TYPEMISMATCH;  // VT_NULL, VT_ERROR, interfaces, records
  }
}

bool IsSupportedTarget(VARTYPE vt) {
  switch (vt) {
    case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4: case VT_INT: case VT_UINT:
    case VT_I8: case VT_UI8: case VT_R4: case VT_R8: case VT_CY: case VT_DATE: case VT_BOOL: case VT_BSTR:
      return true;
    default:
      return false;
  }
}

// Converts the plain source `value` into `out` (VT_EMPTY on entry).
HRESULT Convert(const VARIANT& value, USHORT flags, VARTYPE vt, VARIANT& out) {
  if (vt == VT_EMPTY) return S_OK;
  if (vt == VT_NULL) {
    out.vt = VT_NULL;
    return S_OK;
  }
  if (value.vt & VT_ARRAY) return DISP_E_TYPEMISMATCH;
  if (vt == VT_DECIMAL) return DISP_E_BADVARTYPE;
  if (!IsSupportedTarget(vt)) return DISP_E_TYPEMISMATCH;
  if (value.vt == VT_BSTR) return TextTo(value.bstrVal, vt, out);
  Number n;
  const HRESULT hr = ReadNumber(value, n);
  if (FAILED(hr)) return hr;
  return NumberTo(n, value.vt, vt, flags, out);
}

}  // namespace
}  // namespace vornfmt::automation

extern "C" {

HRESULT VariantChangeTypeEx(VARIANTARG* dest, const VARIANTARG* src, LCID, USHORT flags, VARTYPE vt) {
  using namespace vornfmt::automation;
  if (dest == nullptr || src == nullptr) return E_INVALIDARG;
  if (!IsValidVariantType(src->vt) || !IsValidVariantType(vt)) return DISP_E_BADVARTYPE;
  if (src->vt == vt) return VariantCopy(dest, src);
  if (vt & (VT_BYREF | VT_ARRAY)) return DISP_E_TYPEMISMATCH;

  VARIANT value;
  VariantInit(&value);
  HRESULT hr = VariantCopyInd(&value, src);
  if (FAILED(hr)) return hr;
  VARIANT result;
  std::memset(&result, 0, sizeof result);
  result.vt = VT_EMPTY;
  if (value.vt == vt) {
    result = value;  // a BYREF source of the target type: the copy is the answer
    VariantInit(&value);
  } else {
    hr = Convert(value, flags, vt, result);
    VariantClear(&value);
    if (FAILED(hr)) {
      VariantClear(&result);
      return hr;
    }
  }
  hr = VariantClear(dest);
  if (FAILED(hr)) {
    VariantClear(&result);
    return hr;
  }
  *dest = result;
  return S_OK;
}

HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* src, USHORT flags, VARTYPE vt) {
  return VariantChangeTypeEx(dest, src, LOCALE_USER_DEFAULT, flags, vt);
}

}  // extern "C"
