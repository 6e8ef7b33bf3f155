// VariantChangeType from text: the fuzz bytes (UTF-8, invalid sequences as
// U+FFFD) become a BSTR that is converted to every numeric type and VT_BOOL.
// Any text either converts or is refused with one of the documented codes;
// a refused conversion leaves the destination empty, an accepted one gives
// the requested type; integer results that came from text read back the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/automation/oleauto.h"
#include "platform/code_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string text =
      vornfmt::codepage::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
  VARIANT source;
  VariantInit(&source);
  source.vt = VT_BSTR;
  source.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (source.bstrVal == nullptr) return 0;

  static const VARTYPE kTargets[] = {VT_I1, VT_UI1, VT_I2, VT_UI2, VT_I4, VT_UI4, VT_INT, VT_UINT,
                                     VT_I8, VT_UI8, VT_R4, VT_R8, VT_CY,  VT_BOOL};
  for (VARTYPE vt : kTargets) {
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr = VariantChangeType(&result, &source, 0, vt);
    if (hr == S_OK) {
      if (result.vt != vt) __builtin_trap();
      // The text of an integer result reads back as the same integer.
      if (vt != VT_R4 && vt != VT_R8 && vt != VT_BOOL && vt != VT_CY) {
        VARIANT asText, back;
        VariantInit(&asText);
        VariantInit(&back);
        if (VariantChangeType(&asText, &result, 0, VT_BSTR) != S_OK) __builtin_trap();
        if (VariantChangeType(&back, &asText, 0, vt) != S_OK) __builtin_trap();
        if (back.llVal != result.llVal) __builtin_trap();
        VariantClear(&asText);
        VariantClear(&back);
      }
    } else if (hr != DISP_E_TYPEMISMATCH && hr != DISP_E_OVERFLOW) {
      __builtin_trap();
    } else if (result.vt != VT_EMPTY) {
      __builtin_trap();
    }
    if (VariantClear(&result) != S_OK) __builtin_trap();
  }
  VariantClear(&source);
  return 0;
}
