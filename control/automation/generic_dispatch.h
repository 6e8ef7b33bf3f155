#pragma once
// One dispatch implementation for every interface: GetIDsOfNames and Invoke
// over a member table (dispatch_table.h), with the argument handling of the
// platform's standard dispatch, so that each object only says what a member
// does with arguments already of their declared types.
//
// Invoke, in order:
//   - riid other than IID_NULL: DISP_E_UNKNOWNINTERFACE; an unknown DISPID:
//     DISP_E_MEMBERNOTFOUND; DISPPARAMS that contradict themselves (null
//     arrays with counts, more named than all arguments): E_INVALIDARG.
//   - The kind of call: DISPATCH_METHOD for a method; DISPATCH_PROPERTYGET
//     or DISPATCH_METHOD for a property get (automation clients send either,
//     or both); DISPATCH_PROPERTYPUT for a put, whose value is the named
//     argument DISPID_PROPERTYPUT. A put on a method, a PUTREF, or no kind:
//     DISP_E_MEMBERNOTFOUND. A put on a read-only property: the interface's
//     refusal (ReadOnlyPut).
//   - Arguments: positional ones arrive last-first in rgvarg; named ones
//     (DISPIDs 0..n-1, the parameter positions GetIDsOfNames gives) first.
//     A count other than the member's: DISP_E_BADPARAMCOUNT; a named DISPID
//     that is no parameter, or one given twice: DISP_E_PARAMNOTFOUND; a
//     parameter left out, or sent as VT_ERROR/DISP_E_PARAMNOTFOUND (the
//     "omitted" marker): DISP_E_PARAMNOTOPTIONAL.
//   - Conversion: short and BSTR parameters (and a put's value) take any
//     value VariantChangeType converts, by value or by reference (VT_I4 5
//     becomes the short 5); DISP_E_OVERFLOW when it does not fit,
//     DISP_E_TYPEMISMATCH otherwise. VARIANT parameters take the VARIANT as
//     sent. short*, double* and VARIANT* take VT_BYREF of exactly that type,
//     or a VT_BYREF|VT_VARIANT whose VARIANT holds that type (short*,
//     double*); anything else, a null reference among it:
//     DISP_E_TYPEMISMATCH. Every argument error sets *puArgErr to the
//     argument's index in rgvarg.
//   - The result goes to *pVarResult (which is overwritten, not cleared);
//     with no pVarResult it is released. No exception leaves Invoke: an
//     exhausted memory answers E_OUTOFMEMORY, anything else DISP_E_EXCEPTION
//     with E_UNEXPECTED in the EXCEPINFO.
//
// GetIDsOfNames: riid other than IID_NULL: DISP_E_UNKNOWNINTERFACE. The
// first name is the member's, the others its parameters'; all compare
// without case. Unknown names get DISPID_UNKNOWN and the answer
// DISP_E_UNKNOWNNAME.
#include <cstddef>
#include <vector>

#include "control/automation/dispatch_table.h"

namespace vornfmt {

// How a put on a read-only property is refused.
enum class ReadOnlyPut {
  // The control base's standard error: DISP_E_EXCEPTION with
  // CTL_E_SETNOTSUPPORTED in the EXCEPINFO.
  SetNotSupported,
  // The dispatch layer's: DISP_E_MEMBERNOTFOUND (there is no put member).
  MemberNotFound,
};

// The arguments of one call, each of its declared type (see above).
class DispatchArguments {
 public:
  SHORT Short(size_t i) const { return slots_[i]->iVal; }
  // VT_BSTR parameters; a null BSTR stays null.
  BSTR Text(size_t i) const { return slots_[i]->bstrVal; }
  // VT_VARIANT parameters: the VARIANT as the caller sent it.
  const VARIANT& Variant(size_t i) const { return *slots_[i]; }
  SHORT* ShortOut(size_t i) const { return static_cast<SHORT*>(outs_[i]); }
  DOUBLE* DoubleOut(size_t i) const { return static_cast<DOUBLE*>(outs_[i]); }
  VARIANT* VariantOut(size_t i) const { return static_cast<VARIANT*>(outs_[i]); }
  // The value of a put, of the property's type.
  const VARIANT& PutValue() const { return *put_; }

 private:
  friend class ArgumentBinder;
  std::vector<const VARIANT*> slots_;
  std::vector<void*> outs_;
  const VARIANT* put_ = nullptr;
};

// What an automation object does with a call whose arguments are checked.
// `result` is VT_EMPTY on entry; a get or a method puts its answer there.
class DispatchTarget {
 public:
  virtual ~DispatchTarget() = default;
  virtual HRESULT CallMember(const DispatchMember& member, bool put, const DispatchArguments& arguments,
                             VARIANT& result) = 0;
};

HRESULT DispatchGetIDsOfNames(const DispatchInterface& table, REFIID riid, LPOLESTR* names, UINT count,
                              DISPID* ids);

HRESULT DispatchInvoke(const DispatchInterface& table, ReadOnlyPut refusal, DispatchTarget& target, DISPID id,
                       REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                       UINT* argumentError);

}  // namespace vornfmt
