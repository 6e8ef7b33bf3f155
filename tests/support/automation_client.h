#pragma once
// What an automation client does, for the host tests: VARIANT arguments of
// the forms real clients send, and calls through IDispatch::Invoke with
// DISPPARAMS built the standard way (positional arguments last-first, a
// put's value as the named argument DISPID_PROPERTYPUT).
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/automation/oleauto.h"

namespace vornfmt::test {

// A VARIANT that owns what it holds.
class Arg {
 public:
  Arg() { VariantInit(&v_); }
  Arg(const Arg& other) : borrowed_(other.borrowed_) {
    VariantInit(&v_);
    if (borrowed_) v_ = other.v_;
    else VariantCopy(&v_, const_cast<VARIANT*>(&other.v_));  // some Windows headers take no const
  }
  Arg& operator=(const Arg& other) {
    if (this == &other) return *this;
    if (!borrowed_) VariantClear(&v_);
    borrowed_ = other.borrowed_;
    if (borrowed_) v_ = other.v_;
    else VariantCopy(&v_, const_cast<VARIANT*>(&other.v_));  // some Windows headers take no const
    return *this;
  }
  ~Arg() {
    if (!borrowed_) VariantClear(&v_);
  }

  // The VARIANT itself, not a copy, as a client passes a VARIANT by value:
  // an array in it is the caller's array. Nothing is freed with this Arg.
  static Arg Borrowed(const VARIANT& v) {
    Arg a;
    a.v_ = v;
    a.borrowed_ = true;
    return a;
  }

  static Arg Text(const std::u16string& text) {
    return Make(VT_BSTR, [&](VARIANT& v) {
      v.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
    });
  }
  static Arg NullText() { return Make(VT_BSTR, [](VARIANT& v) { v.bstrVal = nullptr; }); }
  static Arg I2(int16_t value) { return Make(VT_I2, [=](VARIANT& v) { v.iVal = value; }); }
  static Arg I4(int32_t value) { return Make(VT_I4, [=](VARIANT& v) { v.lVal = value; }); }
  static Arg R8(double value) { return Make(VT_R8, [=](VARIANT& v) { v.dblVal = value; }); }
  static Arg Bool(bool value) {
    return Make(VT_BOOL, [=](VARIANT& v) { v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE; });
  }
  // The "omitted" marker of an optional argument.
  static Arg Omitted() { return Make(VT_ERROR, [](VARIANT& v) { v.scode = DISP_E_PARAMNOTFOUND; }); }
  // VT_ARRAY|VT_UI1 holding `bytes`.
  static Arg Bytes(const std::vector<uint8_t>& bytes) {
    Arg a;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    void* data = nullptr;
    SafeArrayAccessData(array, &data);
    for (size_t i = 0; i < bytes.size(); ++i) static_cast<uint8_t*>(data)[i] = bytes[i];
    SafeArrayUnaccessData(array);
    a.v_.vt = VT_ARRAY | VT_UI1;
    a.v_.parray = array;
    return a;
  }
  // By reference: the VARIANT, a short, a double or an array elsewhere.
  static Arg RefTo(VARIANT* target) { return Ref(VT_BYREF | VT_VARIANT, target); }
  static Arg RefTo(SHORT* target) { return Ref(VT_BYREF | VT_I2, target); }
  static Arg RefTo(DOUBLE* target) { return Ref(VT_BYREF | VT_R8, target); }
  static Arg RefTo(SAFEARRAY** target) { return Ref(VT_BYREF | VT_ARRAY | VT_UI1, target); }

  VARIANT& v() { return v_; }
  const VARIANT& v() const { return v_; }
  VARIANT* operator&() { return &v_; }

  // The bytes of a VT_ARRAY|VT_UI1 (directly or through one reference).
  std::vector<uint8_t> ArrayBytes() const {
    const VARIANT* v = v_.vt == (VT_BYREF | VT_VARIANT) ? v_.pvarVal : &v_;
    SAFEARRAY* array = v->vt == (VT_ARRAY | VT_UI1) ? v->parray : *v->pparray;
    std::vector<uint8_t> out(array->rgsabound[0].cElements);
    void* data = nullptr;
    SafeArrayAccessData(array, &data);
    for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<uint8_t*>(data)[i];
    SafeArrayUnaccessData(array);
    return out;
  }

 private:
  template <typename Set>
  static Arg Make(VARTYPE vt, Set set) {
    Arg a;
    a.v_.vt = vt;
    set(a.v_);
    return a;
  }
  static Arg Ref(VARTYPE vt, void* target) { return Make(vt, [=](VARIANT& v) { v.byref = target; }); }
  VARIANT v_;
  bool borrowed_ = false;
};

// The text of a VT_BSTR; "<vt N>" for anything else, "<null>" for null.
inline std::u16string TextOf(const VARIANT& v) {
  if (v.vt != VT_BSTR) return u"<vt " + std::u16string(1, static_cast<char16_t>(u'0' + v.vt % 10)) + u">";
  if (!v.bstrVal) return u"<null>";
  return std::u16string(reinterpret_cast<const char16_t*>(v.bstrVal), SysStringLen(v.bstrVal));
}

// A new object of the class registered under `progId`, asked for IDispatch
// in-process; null when the registry or the module refuses.
inline IDispatch* CreateByProgId(const char16_t* progId) {
  CLSID clsid{};
  IDispatch* object = nullptr;
  if (CLSIDFromProgID(reinterpret_cast<const OLECHAR*>(progId), &clsid) != S_OK) return nullptr;
  CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object));
  return object;
}

// One IDispatch, called as a client calls it.
class Client {
 public:
  explicit Client(IDispatch* object = nullptr) : object_(object) {}

  IDispatch* object() const { return object_; }

  // The DISPID of `name`, DISPID_UNKNOWN when GetIDsOfNames refuses it.
  DISPID Id(const std::u16string& name) const {
    std::u16string copy = name;
    LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(copy.data())};
    DISPID id = DISPID_UNKNOWN;
    object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
  }

  // Invoke with `args` in declaration order (and `named` DISPIDs for the
  // last named.size() of them, in that order).
  HRESULT Invoke(DISPID id, WORD flags, std::vector<Arg> args, VARIANT* result, UINT* argumentError = nullptr,
                 EXCEPINFO* exception = nullptr, std::vector<DISPID> named = {}) const {
    std::vector<VARIANT> reversed;  // shallow: args keep ownership
    // Named arguments first in rgvarg, then the positional ones last-first.
    const size_t positional = args.size() - named.size();
    for (size_t i = 0; i < named.size(); ++i) reversed.push_back(args[positional + i].v());
    for (size_t i = positional; i-- > 0;) reversed.push_back(args[i].v());
    DISPPARAMS params{reversed.data(), named.empty() ? nullptr : named.data(), static_cast<UINT>(reversed.size()),
                      static_cast<UINT>(named.size())};
    UINT error = 0xFFFFFFFF;
    const HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, exception, &error);
    if (argumentError) *argumentError = error;
    return hr;
  }

  // A method or a get; the answer in `result` (cleared first).
  HRESULT Call(DISPID id, std::vector<Arg> args, Arg& result, WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET) const {
    VariantClear(&result.v());
    return Invoke(id, flags, std::move(args), &result.v());
  }
  HRESULT Put(DISPID id, Arg value, EXCEPINFO* exception = nullptr) const {
    return Invoke(id, DISPATCH_PROPERTYPUT, {std::move(value)}, nullptr, nullptr, exception, {DISPID_PROPERTYPUT});
  }

 private:
  IDispatch* object_;
};

}  // namespace vornfmt::test
