#pragma once
// The automation objects of the module, each over its plain C++ class:
//
//   TypeElementObject   ITypeElement over a CTypeElement (never created by
//                       a class factory: GetItem1/2/3 hand them out)
//   VornFmtCtrlObject   _DVornFmt over a CVornFmtCtrl, and
//                       IPersistStreamInit: the version stamp in a stream
//   PropertyPageObject  the "General" page, IUnknown only
//
// Each is created with one reference, which becomes its creator's.
#include <memory>

#include "control/automation/dispatch_object.h"
#include "control/module_resources.h"
#include "control/type_element.h"
#include "control/vornfmt_ctrl.h"

namespace vornfmt {

class TypeElementObject final : public DispatchObject {
 public:
  explicit TypeElementObject(std::unique_ptr<CTypeElement> element);
  CTypeElement& Element() { return *element_; }

 protected:
  HRESULT CallMember(const DispatchMember& member, bool put, const DispatchArguments& arguments,
                     VARIANT& result) override;

 private:
  std::unique_ptr<CTypeElement> element_;
};

class VornFmtCtrlObject final : public DispatchObject, public IPersistStreamInit {
 public:
  VornFmtCtrlObject();
  CVornFmtCtrl& Control() { return control_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return DispatchObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return DispatchObject::Release(); }

  // The stream holds the 4 bytes of CVornFmtCtrl::SaveState. Load answers
  // E_FAIL, and keeps the state, for a stream that ends early, fails to
  // read or holds another stamp; Save answers STG_E_CANTSAVE when the
  // stream takes fewer bytes.
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
  HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;

 protected:
  HRESULT CallMember(const DispatchMember& member, bool put, const DispatchArguments& arguments,
                     VARIANT& result) override;

 private:
  CVornFmtCtrl control_;
};

// The property page: dialog 200 with the caption of string 200 and no
// controls of its own.
class PropertyPageObject final : public IUnknown {
 public:
  static constexpr int kDialogId = kDialogPropertyPage;
  PropertyPageObject();
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  std::u16string Caption() const;

 private:
  ~PropertyPageObject();
  std::atomic<ULONG> references_{1};
};

// The dispatch interface of a new element for `element`; null for null.
IDispatch* NewTypeElementObject(std::unique_ptr<CTypeElement> element);

}  // namespace vornfmt
