// A host: creates the control by its ProgID, asks it for SNVT_switch and formats the bytes C8 01.
#include <cstdio>
#include "platform/automation/oleauto.h"  // the automation API: Windows' own, or vornfmt's emulation

// Member `id` of `object`, called with `lastFirst` (DISPPARAMS holds the arguments last-first).
static HRESULT Call(IDispatch* object, DISPID id, VARIANT* lastFirst, UINT count, VARIANT* result) {
  DISPPARAMS params = {lastFirst, nullptr, count, 0};
  return object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result, nullptr, nullptr);
}

int main() {
  CLSID clsid;
  IDispatch* control = nullptr;
  CLSIDFromProgID(u"VORNFMT.VornFmtCtrl.1", &clsid);
  if (CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, (void**)&control) != S_OK) return 1;
  VARIANT a[5] = {}, element = {}, text = {}, ok = {};
  a[2].vt = a[1].vt = VT_BSTR, a[2].bstrVal = SysAllocString(u"SNVT_switch"), a[1].bstrVal = SysAllocString(u"0");
  a[0].vt = VT_I2, a[0].iVal = 0;                               // GetItem1(typeName, pid, selector): DISPID 2
  if (Call(control, 2, a, 3, &element) != S_OK || !element.pdispVal) return 1;
  VariantClear(&a[2]), VariantClear(&a[1]), a[4].vt = a[2].vt = VT_I2, a[2].iVal = VT_BSTR, a[0].iVal = -1;
  a[3].vt = VT_ARRAY | VT_UI1, a[3].parray = SafeArrayCreateVector(VT_UI1, 0, 2);
  static_cast<BYTE*>(a[3].parray->pvData)[0] = 0xC8, static_cast<BYTE*>(a[3].parray->pvData)[1] = 0x01;
  a[1].vt = VT_BYREF | VT_VARIANT, a[1].pvarVal = &text;        // FormatVT(len, data, vt, &fmtdata, sub): DISPID 5
  Call(element.pdispVal, 5, a, 5, &ok);
  for (UINT i = 0; i < SysStringLen(text.bstrVal); ++i) std::putchar(static_cast<char>(text.bstrVal[i]));
  std::printf("\n");
  VariantClear(&a[3]), VariantClear(&text), VariantClear(&element), control->Release();
  return ok.boolVal == VARIANT_TRUE ? 0 : 1;
}
