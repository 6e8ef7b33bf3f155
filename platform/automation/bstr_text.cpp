#include "platform/automation/bstr_text.h"

namespace vornfmt {

std::u16string_view BstrText(const VARIANT& v) {
  if (v.vt != VT_BSTR || !v.bstrVal) return {};
  return std::u16string_view(AsUtf16(v.bstrVal), SysStringLen(v.bstrVal));
}

void SetBstr(VARIANT& v, std::u16string_view text) {
  VariantClear(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(AsOleText(text.data()), static_cast<UINT>(text.size()));
}

}  // namespace vornfmt
