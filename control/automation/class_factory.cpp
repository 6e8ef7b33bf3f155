#include "control/automation/class_factory.h"

#include <new>

#include "control/automation/automation_objects.h"
#include "control/automation/class_ids.h"
#include "control/automation/module_counts.h"
#include "control/automation/vornfmt_idl.h"

namespace vornfmt {
namespace {

template <typename Object>
class ClassFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // A static object: references only keep the module loaded.
  ULONG STDMETHODCALLTYPE AddRef() override {
    module::AddLock();
    return 2;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    module::RemoveLock();
    return 1;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    Object* created = new (std::nothrow) Object();
    if (!created) return E_OUTOFMEMORY;
    const HRESULT hr = created->QueryInterface(riid, object);
    created->Release();  // the creation reference: the object lives on the one QueryInterface added, if any
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) module::AddLock();
    else module::RemoveLock();
    return S_OK;
  }
};

ClassFactory<VornFmtCtrlObject> controlFactory;
ClassFactory<PropertyPageObject> pageFactory;

}  // namespace

HRESULT GetModuleClassObject(REFCLSID clsid, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualCLSID(clsid, idl::CLSID_VornFmt)) return controlFactory.QueryInterface(riid, object);
  if (IsEqualCLSID(clsid, kClsidVornFmtPropPage)) return pageFactory.QueryInterface(riid, object);
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace vornfmt
