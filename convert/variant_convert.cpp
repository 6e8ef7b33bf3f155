#include "convert/variant_convert.h"

#include "convert/output/locale_number_text.h"

namespace vornfmt {
namespace {

constexpr HRESULT kNoConversion = 1;

// A VARIANT that clears itself.
struct OwnedVariant {
  VARIANT v;
  OwnedVariant() { VariantInit(&v); }
  ~OwnedVariant() { VariantClear(&v); }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;
};

// Moves `from` into `to` (which must be empty); `from` becomes empty.
void MoveInto(VARIANT& to, VARIANT& from) {
  to = from;
  VariantInit(&from);
}

HRESULT ReadNumericText(std::u16string_view text, VARTYPE vt, VARIANT& out) {
  if (!LooksNumeric(text)) return kNoConversion;
  size_t used = 0;
  switch (vt) {
    case VT_I2:
      out.vt = VT_I2;
      out.iVal = static_cast<SHORT>(ReadLeadingLong(text, 10, used));
      return S_OK;
    case VT_I4:
      out.vt = VT_I4;
      out.lVal = ReadLeadingLong(text, 10, used);
      return S_OK;
    case VT_R4:
      out.vt = VT_R4;
      out.fltVal = static_cast<FLOAT>(ReadLeadingReal(text, used));
      return S_OK;
    case VT_R8:
      out.vt = VT_R8;
      out.dblVal = ReadLeadingReal(text, used);
      return S_OK;
    case VT_I1:
      out.vt = VT_UI1;
      out.bVal = static_cast<BYTE>(ReadLeadingLong(text, 10, used));
      return S_OK;
    default: return kNoConversion;
  }
}

HRESULT FromBool(VARIANT* v, const VARIANT& b, VARTYPE vt) {
  VARIANT a;
  VariantInit(&a);
  a.vt = VT_UI1;
  a.bVal = b.boolVal != VARIANT_FALSE ? 1 : 0;
  const HRESULT code = ConvertVariant(&a, vt);
  if (code == S_OK) MoveInto(*v, a);
  return code;
}

HRESULT FromText(VARIANT* v, VARIANT& b, VARTYPE vt) {
  OwnedVariant result;
  const HRESULT code = VariantChangeType(&result.v, &b, 0, vt);
  if (code == S_OK) {
    MoveInto(*v, result.v);
    return S_OK;
  }
  if (code == DISP_E_OVERFLOW) return code;
  return ReadNumericText(BstrText(b), vt, *v);
}

HRESULT ToBool(VARIANT* v, VARIANT& b) {
  const HRESULT code = ConvertVariant(&b, VT_R8);
  if (code != S_OK) return code;
  v->vt = VT_BOOL;
  v->boolVal = b.dblVal == 0.0 ? VARIANT_FALSE : VARIANT_TRUE;
  return S_OK;
}

HRESULT ToText(VARIANT* v, VARIANT& b) {
  switch (b.vt) {
    case VT_I2: SetBstr(*v, DecimalText(b.iVal)); return S_OK;
    case VT_I4: SetBstr(*v, DecimalText(b.lVal)); return S_OK;
    case VT_I1: SetBstr(*v, DecimalText(b.cVal)); return S_OK;
    case VT_UI2: SetBstr(*v, UnsignedText(b.uiVal)); return S_OK;
    case VT_UI4: SetBstr(*v, UnsignedText(b.ulVal)); return S_OK;
    case VT_R4: SetBstr(*v, RealText(static_cast<double>(b.fltVal))); return S_OK;
    case VT_R8: SetBstr(*v, RealText(b.dblVal)); return S_OK;
    default: return VariantChangeType(v, &b, 0, VT_BSTR);
  }
}

}  // namespace

HRESULT ConvertVariant(VARIANT* v, VARTYPE vt) {
  if (!v) return E_INVALIDARG;
  if (v->vt == vt) return S_OK;
  OwnedVariant b;
  const HRESULT copied = VariantCopy(&b.v, v);
  if (VariantClear(v) != S_OK) VariantInit(v);
  if (copied != S_OK) return copied;
  if (b.v.vt == VT_BOOL) return FromBool(v, b.v, vt);
  if (b.v.vt == VT_BSTR) return FromText(v, b.v, vt);
  if (vt == VT_BOOL) return ToBool(v, b.v);
  if (vt == VT_BSTR) return ToText(v, b.v);
  return VariantChangeType(v, &b.v, 0, vt);
}

HRESULT ConvertVariantCopy(VARIANT* v, VARTYPE vt) {
  if (!v) return E_INVALIDARG;
  OwnedVariant copy;
  HRESULT code = VariantCopy(&copy.v, v);
  if (code == S_OK) code = ConvertVariant(&copy.v, vt);
  if (code != S_OK) return code;
  VariantClear(v);
  MoveInto(*v, copy.v);
  return S_OK;
}

bool LooksNumeric(std::u16string_view text) {
  if (text.empty()) return false;
  for (char16_t c : text)
    if (!((c >= u'0' && c <= u'9') || c == u'.' || c == u'e' || c == u'E' || c == u'+' || c == u'-')) return false;
  return true;
}

}  // namespace vornfmt
