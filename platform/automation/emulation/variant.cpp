// VARIANT lifetime: init, clear, copy, copy with dereference.
#include <cstring>

#include "platform/automation/emulation/oleauto.h"
#include "platform/automation/emulation/variant_internal.h"

using vornfmt::automation::IsValidVariantType;

namespace {

BSTR CopyBstr(BSTR text, HRESULT& hr) {
  hr = S_OK;
  if (text == nullptr) return nullptr;
  BSTR copy = SysAllocStringByteLen(reinterpret_cast<const char*>(text), SysStringByteLen(text));
  if (copy == nullptr) hr = E_OUTOFMEMORY;
  return copy;
}

// Copies the value of `src` (not BYREF) into the cleared `dest`.
HRESULT CopyOwned(VARIANT* dest, const VARIANT* src) {
  VARIANT result = *src;
  HRESULT hr = S_OK;
  if (src->vt & VT_ARRAY) {
    hr = SafeArrayCopy(src->parray, &result.parray);
  } else if (src->vt == VT_BSTR) {
    result.bstrVal = CopyBstr(src->bstrVal, hr);
  } else if ((src->vt == VT_DISPATCH || src->vt == VT_UNKNOWN) && src->punkVal) {
    src->punkVal->AddRef();  // IDispatch derives from IUnknown: the same object
  }
  if (FAILED(hr)) return hr;
  *dest = result;
  return S_OK;
}

}  // namespace

extern "C" {

void VariantInit(VARIANTARG* v) {
  if (v != nullptr) v->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* v) {
  if (v == nullptr) return E_INVALIDARG;
  if (!IsValidVariantType(v->vt)) return DISP_E_BADVARTYPE;
  if (!(v->vt & VT_BYREF)) {
    if (v->vt & VT_ARRAY) {
      const HRESULT hr = SafeArrayDestroy(v->parray);
      if (FAILED(hr)) return hr;
    } else if (v->vt == VT_BSTR) {
      SysFreeString(v->bstrVal);
    } else if ((v->vt == VT_DISPATCH || v->vt == VT_UNKNOWN) && v->punkVal) {
      v->punkVal->Release();
    }
    // VT_RECORD: not supported here, nothing is released.
  }
  v->vt = VT_EMPTY;
  return S_OK;
}

HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* src) {
  if (dest == nullptr || src == nullptr) return E_INVALIDARG;
  if (!IsValidVariantType(src->vt)) return DISP_E_BADVARTYPE;
  if (dest == src) return S_OK;
  if (src->vt & VT_BYREF) {
    const HRESULT hr = VariantClear(dest);
    if (FAILED(hr)) return hr;
    *dest = *src;
    return S_OK;
  }
  // Copy first, so that a failed copy leaves dest as it was.
  VARIANT copy;
  HRESULT hr = CopyOwned(&copy, src);
  if (FAILED(hr)) return hr;
  hr = VariantClear(dest);
  if (FAILED(hr)) {
    VariantClear(&copy);
    return hr;
  }
  *dest = copy;
  return S_OK;
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANTARG* src) {
  if (dest == nullptr || src == nullptr) return E_INVALIDARG;
  if (!(src->vt & VT_BYREF)) return VariantCopy(dest, src);
  if (!IsValidVariantType(src->vt)) return DISP_E_BADVARTYPE;

  const VARIANT* from = src;
  if ((src->vt & ~VT_BYREF) == VT_VARIANT) {
    from = src->pvarVal;
    if (from == nullptr) return E_INVALIDARG;
    if (from->vt == (VT_VARIANT | VT_BYREF)) return E_INVALIDARG;  // only one level of VARIANT
    if (!(from->vt & VT_BYREF)) {
      if (from == dest) return S_OK;
      VARIANT copy;
      HRESULT hr = CopyOwned(&copy, from);
      if (FAILED(hr)) return hr;
      if (dest != src) {
        hr = VariantClear(dest);
        if (FAILED(hr)) {
          VariantClear(&copy);
          return hr;
        }
      }
      *dest = copy;
      return S_OK;
    }
    if (!IsValidVariantType(from->vt)) return DISP_E_BADVARTYPE;
  }

  // `from` holds a BYREF value of a plain type: read what it points at.
  const VARTYPE vt = from->vt & ~VT_BYREF;
  if (from->byref == nullptr) return E_INVALIDARG;
  VARIANT value;
  std::memset(&value, 0, sizeof value);
  value.vt = vt;
  HRESULT hr = S_OK;
  if (vt & VT_ARRAY) {
    hr = SafeArrayCopy(*from->pparray, &value.parray);
  } else {
    switch (vt) {
      case VT_I1: case VT_UI1: value.bVal = *from->pbVal; break;
      case VT_I2: case VT_UI2: case VT_BOOL: value.iVal = *from->piVal; break;
      case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_ERROR: case VT_R4:
        std::memcpy(&value.lVal, from->byref, 4);
        break;
      case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE:
        std::memcpy(&value.llVal, from->byref, 8);
        break;
      case VT_BSTR: value.bstrVal = CopyBstr(*from->pbstrVal, hr); break;
      case VT_DISPATCH:
        value.pdispVal = *from->ppdispVal;
        if (value.pdispVal) value.pdispVal->AddRef();
        break;
      case VT_UNKNOWN:
        value.punkVal = *from->ppunkVal;
        if (value.punkVal) value.punkVal->AddRef();
        break;
      default: return DISP_E_BADVARTYPE;  // VT_DECIMAL, VT_RECORD by reference
    }
  }
  if (FAILED(hr)) return hr;
  if (dest != src) {
    hr = VariantClear(dest);
    if (FAILED(hr)) {
      VariantClear(&value);
      return hr;
    }
  }
  *dest = value;
  return S_OK;
}

}  // extern "C"
