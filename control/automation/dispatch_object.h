#pragma once
// The base of the module's automation objects: reference counting (the
// object is deleted at its last Release and counted as live until then),
// QueryInterface for IUnknown, IDispatch and the object's dispinterface, and
// IDispatch served by the generic dispatch over the object's table. A
// derived object says only what its members do (DispatchTarget::CallMember).
//
// Type information: GetTypeInfoCount answers 0 and GetTypeInfo
// DISP_E_BADINDEX; hosts call by name through GetIDsOfNames.
#include <atomic>

#include "control/automation/generic_dispatch.h"

namespace vornfmt {

class DispatchObject : public IDispatch, protected DispatchTarget {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

 protected:
  // Created with one reference, the creator's.
  DispatchObject(const DispatchInterface& table, ReadOnlyPut refusal);
  virtual ~DispatchObject();

 private:
  const DispatchInterface& table_;
  ReadOnlyPut refusal_;
  std::atomic<ULONG> references_{1};
};

// Result helpers for CallMember.
void SetResult(VARIANT& result, bool value);      // VT_BOOL
void SetResult(VARIANT& result, SHORT value);     // VT_I2
void SetResult(VARIANT& result, std::u16string_view text);  // VT_BSTR, never null
// A BSTR argument as text; null is the empty text.
std::u16string_view TextOf(BSTR text);

}  // namespace vornfmt
