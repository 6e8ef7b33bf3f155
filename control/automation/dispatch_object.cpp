#include "control/automation/dispatch_object.h"

#include "control/automation/module_counts.h"
#include "platform/automation/bstr_text.h"

namespace vornfmt {

DispatchObject::DispatchObject(const DispatchInterface& table, ReadOnlyPut refusal)
    : table_(table), refusal_(refusal) {
  module::ObjectCreated();
}

DispatchObject::~DispatchObject() { module::ObjectDestroyed(); }

HRESULT STDMETHODCALLTYPE DispatchObject::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, *table_.iid)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DispatchObject::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE DispatchObject::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_INVALIDARG;
  *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                                        DISPID* ids) {
  return DispatchGetIDsOfNames(table_, riid, names, count, ids);
}

HRESULT STDMETHODCALLTYPE DispatchObject::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                                 VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  // The object stays alive for the whole call, even if the call releases the
  // host's last reference.
  AddRef();
  const HRESULT hr =
      DispatchInvoke(table_, refusal_, *this, id, riid, flags, params, result, exception, argumentError);
  Release();
  return hr;
}

void SetResult(VARIANT& result, bool value) {
  VariantClear(&result);
  result.vt = VT_BOOL;
  result.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void SetResult(VARIANT& result, SHORT value) {
  VariantClear(&result);
  result.vt = VT_I2;
  result.iVal = value;
}

void SetResult(VARIANT& result, std::u16string_view text) { SetBstr(result, text); }

std::u16string_view TextOf(BSTR text) {
  if (!text) return {};
  return std::u16string_view(AsUtf16(text), SysStringLen(text));
}

}  // namespace vornfmt
