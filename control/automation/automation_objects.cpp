#include "control/automation/automation_objects.h"

#include <new>
#include <vector>

#include "control/automation/module_counts.h"
#include "control/automation/vornfmt_idl.h"
#include "control/module_resources.h"

namespace vornfmt {
namespace {

bool Is(const DispatchMember& member, std::u16string_view name) { return member.name == name; }

void SetDispatch(VARIANT& result, IDispatch* object) {
  VariantClear(&result);
  result.vt = VT_DISPATCH;
  result.pdispVal = object;  // the creation reference becomes the caller's
}

}  // namespace

// ---- ITypeElement ---------------------------------------------------------------

TypeElementObject::TypeElementObject(std::unique_ptr<CTypeElement> element)
    : DispatchObject(idl::kITypeElement, ReadOnlyPut::MemberNotFound), element_(std::move(element)) {}

HRESULT TypeElementObject::CallMember(const DispatchMember& m, bool put, const DispatchArguments& a, VARIANT& r) {
  CTypeElement& e = *element_;
  if (Is(m, u"SubfieldsCount")) SetResult(r, e.SubfieldsCount());
  else if (Is(m, u"Index")) SetResult(r, e.Index());
  else if (Is(m, u"selector")) SetResult(r, e.Selector());
  else if (Is(m, u"GetSubIndexByName")) SetResult(r, e.GetSubIndexByName(TextOf(a.Text(0)), a.ShortOut(1)));
  else if (Is(m, u"FormatVT")) SetResult(r, e.FormatVT(a.Short(0), a.Variant(1), a.Short(2), a.VariantOut(3), a.Short(4)));
  else if (Is(m, u"GetValueVT")) SetResult(r, e.GetValueVT(a.Short(0), a.VariantOut(1), a.Short(2)));
  else if (Is(m, u"WriteVT")) SetResult(r, e.WriteVT(a.Short(0), a.Variant(1), a.Variant(2), a.Short(3)));
  else if (Is(m, u"GetBounds")) SetResult(r, e.GetBounds(a.Short(0), a.DoubleOut(1), a.DoubleOut(2)));
  else if (Is(m, u"Canonical")) SetResult(r, e.Canonical(a.Short(0)));
  else if (Is(m, u"Length")) SetResult(r, e.Length(a.Short(0)));
  else if (Is(m, u"Name")) SetResult(r, std::u16string_view(e.Name(a.Short(0))));
  else if (Is(m, u"MeasurementSystem") && put) e.SetMeasurementSystem(TextOf(a.PutValue().bstrVal));
  else if (Is(m, u"MeasurementSystem")) SetResult(r, std::u16string_view(e.MeasurementSystem()));
  else return DISP_E_MEMBERNOTFOUND;
  return S_OK;
}

IDispatch* NewTypeElementObject(std::unique_ptr<CTypeElement> element) {
  if (!element) return nullptr;
  return new TypeElementObject(std::move(element));
}

// ---- _DVornFmt --------------------------------------------------------------------

VornFmtCtrlObject::VornFmtCtrlObject() : DispatchObject(idl::k_DVornFmt, ReadOnlyPut::SetNotSupported) {}

HRESULT VornFmtCtrlObject::CallMember(const DispatchMember& m, bool put, const DispatchArguments& a, VARIANT& r) {
  CVornFmtCtrl& c = control_;
  if (Is(m, u"Version")) SetResult(r, std::u16string_view(c.Version()));
  else if (Is(m, u"GetItem1")) SetDispatch(r, NewTypeElementObject(c.GetItem1(TextOf(a.Text(0)), TextOf(a.Text(1)), a.Short(2))));
  else if (Is(m, u"GetItem2")) SetDispatch(r, NewTypeElementObject(c.GetItem2(a.Short(0), TextOf(a.Text(1)), a.Short(2))));
  else if (Is(m, u"GetItem3")) SetDispatch(r, NewTypeElementObject(c.GetItem3(a.Short(0), TextOf(a.Text(1)), a.Short(2))));
  else if (Is(m, u"TypesCount")) SetResult(r, c.TypesCount(TextOf(a.Text(0)), a.Short(1), a.Short(2)));
  else if (Is(m, u"LocaleId") && put) {
    const BSTR text = a.PutValue().bstrVal;
    c.SetLocaleId(text ? std::optional<std::u16string_view>(TextOf(text)) : std::nullopt);
  } else if (Is(m, u"LocaleId")) SetResult(r, std::u16string_view(c.LocaleId()));
  else return DISP_E_MEMBERNOTFOUND;
  return S_OK;
}

// ---- IPersistStreamInit ----------------------------------------------------------------

HRESULT STDMETHODCALLTYPE VornFmtCtrlObject::QueryInterface(REFIID riid, void** object) {
  if (object && (IsEqualIID(riid, IID_IPersistStreamInit) || IsEqualIID(riid, IID_IPersist))) {
    *object = static_cast<IPersistStreamInit*>(this);
    AddRef();
    return S_OK;
  }
  return DispatchObject::QueryInterface(riid, object);
}

HRESULT STDMETHODCALLTYPE VornFmtCtrlObject::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = idl::CLSID_VornFmt;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE VornFmtCtrlObject::IsDirty() { return control_.IsModified() ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE VornFmtCtrlObject::Load(LPSTREAM stream) {
  if (!stream) return E_POINTER;
  std::vector<uint8_t> state(CVornFmtCtrl().SaveState().size());
  ULONG read = 0;
  // Only the state's own bytes are read: what follows belongs to the
  // container; a stream that ends before them is refused.
  const HRESULT hr = stream->Read(state.data(), static_cast<ULONG>(state.size()), &read);
  if (FAILED(hr) || read != state.size()) return E_FAIL;
  return control_.LoadState(state) ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE VornFmtCtrlObject::Save(LPSTREAM stream, BOOL clearDirty) {
  if (!stream) return E_POINTER;
  const std::vector<uint8_t> state = control_.SaveState();
  ULONG written = 0;
  const HRESULT hr = stream->Write(state.data(), static_cast<ULONG>(state.size()), &written);
  if (FAILED(hr) || written != state.size()) return STG_E_CANTSAVE;
  if (clearDirty) control_.SetModifiedFlag(false);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE VornFmtCtrlObject::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = control_.SaveState().size();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE VornFmtCtrlObject::InitNew() { return S_OK; }

// ---- the property page -------------------------------------------------------------

PropertyPageObject::PropertyPageObject() { module::ObjectCreated(); }
PropertyPageObject::~PropertyPageObject() { module::ObjectDestroyed(); }

HRESULT STDMETHODCALLTYPE PropertyPageObject::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown)) {
    *object = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE PropertyPageObject::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE PropertyPageObject::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

std::u16string PropertyPageObject::Caption() const { return ModuleString(kStringPageCaption); }

}  // namespace vornfmt
