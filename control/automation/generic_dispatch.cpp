#include "control/automation/generic_dispatch.h"

#include <cstring>
#include <new>
#include <string_view>

namespace vornfmt {
namespace {

std::u16string_view NameOf(LPOLESTR name) {
  if (!name) return {};
  size_t length = 0;
  while (name[length] != 0) ++length;
  return std::u16string_view(reinterpret_cast<const char16_t*>(name), length);
}

// Fills the EXCEPINFO of a DISP_E_EXCEPTION answer.
void Raise(EXCEPINFO* exception, SCODE code, const char16_t* description) {
  if (!exception) return;
  std::memset(exception, 0, sizeof *exception);
  exception->scode = code;
  exception->bstrSource = SysAllocString(reinterpret_cast<const OLECHAR*>(u"VornFmt"));
  exception->bstrDescription = SysAllocString(reinterpret_cast<const OLECHAR*>(description));
}

bool IsOmitted(const VARIANT& v) { return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND; }

// The converted copies of one call, cleared when the call ends.
struct Locals {
  std::vector<VARIANT> values;
  explicit Locals(size_t count) : values(count) {
    for (VARIANT& v : values) VariantInit(&v);
  }
  ~Locals() {
    for (VARIANT& v : values) VariantClear(&v);
  }
  Locals(const Locals&) = delete;
  Locals& operator=(const Locals&) = delete;
};

// A VARIANT that clears itself.
struct ScopedVariant {
  VARIANT v;
  ScopedVariant() { VariantInit(&v); }
  ~ScopedVariant() { VariantClear(&v); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
};

}  // namespace

// Puts the caller's arguments into the slots of the declared parameters and
// converts them.
class ArgumentBinder {
 public:
  ArgumentBinder(const DispatchMember& member, bool put, DISPPARAMS& params, UINT* argumentError)
      : member_(member), put_(put), params_(params), argumentError_(argumentError) {}

  HRESULT Bind(DispatchArguments& arguments, Locals& locals) {
    const size_t count = member_.parameterCount;
    std::vector<int> from(count, -1);  // the rgvarg index of each parameter
    int putFrom = -1;
    for (UINT j = 0; j < params_.cNamedArgs; ++j) {
      const DISPID named = params_.rgdispidNamedArgs[j];
      if (put_ && named == DISPID_PROPERTYPUT && putFrom < 0) {
        putFrom = static_cast<int>(j);
      } else if (named >= 0 && static_cast<size_t>(named) < count && from[named] < 0) {
        from[named] = static_cast<int>(j);
      } else {
        return Fail(j, DISP_E_PARAMNOTFOUND);
      }
    }
    const UINT positional = params_.cArgs - params_.cNamedArgs;
    if (positional > count) return DISP_E_BADPARAMCOUNT;
    for (UINT i = 0; i < positional; ++i) {
      const UINT index = params_.cArgs - 1 - i;
      if (from[i] >= 0) return Fail(index, DISP_E_PARAMNOTFOUND);
      from[i] = static_cast<int>(index);
    }
    if (put_ && putFrom < 0) return DISP_E_PARAMNOTOPTIONAL;
    for (size_t i = 0; i < count; ++i) {
      if (from[i] >= 0) continue;
      // Too few arguments, unless some came by name and left a gap.
      return params_.cNamedArgs > (putFrom >= 0 ? 1u : 0u) ? DISP_E_PARAMNOTOPTIONAL : DISP_E_BADPARAMCOUNT;
    }
    arguments.slots_.assign(count, nullptr);
    arguments.outs_.assign(count, nullptr);
    for (size_t i = 0; i < count; ++i) {
      const UINT index = static_cast<UINT>(from[i]);
      const HRESULT hr = Convert(params_.rgvarg[index], member_.parameters[i].type, locals.values[i],
                                 arguments.slots_[i], arguments.outs_[i]);
      if (FAILED(hr)) return Fail(index, hr);
    }
    if (put_) {
      void* unused = nullptr;
      const HRESULT hr = Convert(params_.rgvarg[putFrom], member_.result, locals.values[count], arguments.put_, unused);
      if (FAILED(hr)) return Fail(static_cast<UINT>(putFrom), hr);
    }
    return S_OK;
  }

 private:
  HRESULT Fail(UINT index, HRESULT hr) {
    if (argumentError_) *argumentError_ = index;
    return hr;
  }

  static HRESULT Convert(VARIANT& given, VARTYPE type, VARIANT& local, const VARIANT*& slot, void*& out) {
    if (IsOmitted(given)) return DISP_E_PARAMNOTOPTIONAL;
    if (type == VT_VARIANT) {
      slot = &given;
      return S_OK;
    }
    if (type & VT_BYREF) {
      const VARTYPE base = type & ~VT_BYREF;
      if (given.vt == type && given.byref) {
        out = given.byref;
        return S_OK;
      }
      // A VARIANT by reference: its value is the out (every value member of
      // the VARIANT's union starts at the same place). Script hosts pass every
      // variable so, holding whatever it last held (an unassigned one is
      // empty), so the held value is first changed to the out's type in
      // place, as a dispatch through the type information does.
      if (base != VT_VARIANT && given.vt == (VT_BYREF | VT_VARIANT) && given.pvarVal) {
        VARIANT* held = given.pvarVal;
        if (held->vt != base && FAILED(VariantChangeType(held, held, 0, base))) return DISP_E_TYPEMISMATCH;
        out = static_cast<void*>(&held->llVal);
        return S_OK;
      }
      return DISP_E_TYPEMISMATCH;
    }
    const HRESULT hr = VariantChangeType(&local, &given, 0, type);
    if (FAILED(hr)) return hr == DISP_E_OVERFLOW ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
    slot = &local;
    return S_OK;
  }

  const DispatchMember& member_;
  bool put_;
  DISPPARAMS& params_;
  UINT* argumentError_;
};

HRESULT DispatchGetIDsOfNames(const DispatchInterface& table, REFIID riid, LPOLESTR* names, UINT count,
                              DISPID* ids) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids || count == 0) return E_INVALIDARG;
  const DispatchMember* member = table.Find(NameOf(names[0]));
  ids[0] = member ? member->id : DISPID_UNKNOWN;
  bool allKnown = member != nullptr;
  for (UINT k = 1; k < count; ++k) {
    ids[k] = DISPID_UNKNOWN;
    for (size_t p = 0; member && p < member->parameterCount; ++p)
      if (SameAutomationName(NameOf(names[k]), member->parameters[p].name)) ids[k] = static_cast<DISPID>(p);
    allKnown = allKnown && ids[k] != DISPID_UNKNOWN;
  }
  return allKnown ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT DispatchInvoke(const DispatchInterface& table, ReadOnlyPut refusal, DispatchTarget& target, DISPID id,
                       REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                       UINT* argumentError) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  const DispatchMember* member = table.Find(id);
  if (!member) return DISP_E_MEMBERNOTFOUND;
  if (!params || (params->cArgs > 0 && !params->rgvarg) || (params->cNamedArgs > 0 && !params->rgdispidNamedArgs) ||
      params->cNamedArgs > params->cArgs)
    return E_INVALIDARG;

  // More arguments than the member can take are refused before any is read.
  if (params->cArgs > member->parameterCount + 1u) return DISP_E_BADPARAMCOUNT;

  const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
  if (put) {
    if (member->kind == MemberKind::Method) return DISP_E_MEMBERNOTFOUND;
    if (member->readOnly) {
      if (refusal == ReadOnlyPut::MemberNotFound) return DISP_E_MEMBERNOTFOUND;
      Raise(exception, CTL_E_SETNOTSUPPORTED, u"Set not supported (read-only property).");
      return DISP_E_EXCEPTION;
    }
  } else if (member->kind == MemberKind::Method ? !(flags & DISPATCH_METHOD)
                                                 : !(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) {
    return DISP_E_MEMBERNOTFOUND;  // PUTREF, no kind, or a get of a method
  }

  try {
    Locals locals(member->parameterCount + 1u);
    DispatchArguments arguments;
    ArgumentBinder binder(*member, put, *params, argumentError);
    const HRESULT bound = binder.Bind(arguments, locals);
    if (FAILED(bound)) return bound;
    ScopedVariant answer;
    const HRESULT hr = target.CallMember(*member, put, arguments, answer.v);
    if (FAILED(hr)) return hr;
    if (result && !put) {
      *result = answer.v;  // handed over: the caller owns it now
      VariantInit(&answer.v);
    }
    return hr;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    Raise(exception, E_UNEXPECTED, u"Unexpected failure.");
    return DISP_E_EXCEPTION;
  }
}

bool SameAutomationName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x - u'A' + u'a');
    if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y - u'A' + u'a');
    if (x != y) return false;
  }
  return true;
}

const DispatchMember* DispatchInterface::Find(DISPID id) const {
  for (size_t i = 0; i < memberCount; ++i)
    if (members[i].id == id) return &members[i];
  return nullptr;
}

const DispatchMember* DispatchInterface::Find(std::u16string_view name) const {
  for (size_t i = 0; i < memberCount; ++i)
    if (SameAutomationName(name, members[i].name)) return &members[i];
  return nullptr;
}

}  // namespace vornfmt
