#pragma once
// CTypeElement: the type element hosts receive from GetItem1/2/3, one
// resolved type with its tree. Every member of ITypeElement is one member
// here, taking the host's arguments in their automation forms (raw data as
// VARIANTs holding byte arrays, outs through pointers) and answering as the
// interface does; the automation object (control/automation) only unpacks
// DISPPARAMS into these calls.
//
// Every member holds the element's lock (the lock of its core) for its
// whole duration; calls into the resource library inside take the resource
// lock after it.
//
// Raw data (`data` of FormatVT and WriteVT): VT_ARRAY|VT_UI1, or
// VT_BYREF|VT_ARRAY|VT_UI1, after one level of VT_BYREF|VT_VARIANT; the
// array's bytes are accessed (locked) for the duration of the call. Any
// other form answers false. `len` is accepted and not used: the type says
// how many bytes are read or written, and an array shorter than that is
// refused.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "control/type_element_core.h"
#include "platform/automation/oleauto.h"

namespace vornfmt {

class CTypeElement {
 public:
  // The back-ends of GetItem1, GetItem2 and GetItem3: a loaded element, or
  // null when the type cannot be found or read.
  static std::unique_ptr<CTypeElement> CreateByName(std::u16string_view typeName, std::u16string_view pid,
                                                    int16_t selector);
  static std::unique_ptr<CTypeElement> CreateByIndex(int16_t index, bool isNetworkVariable, std::u16string_view pid,
                                                     int16_t selector);

  int16_t SubfieldsCount();
  int16_t Index();
  int16_t Selector();
  // Stores the index (-1 when none) in *subindex; true when there is one.
  bool GetSubIndexByName(std::u16string_view subname, int16_t* subindex);
  // The result VARIANT replaces *fmtdata whatever the answer, unless the
  // data are in no accepted form: then *fmtdata is left as it was.
  bool FormatVT(int16_t len, const VARIANT& data, int16_t vt, VARIANT* fmtdata, int16_t sub);
  // The value dialog for the addressed item, started from *fmtdata's text;
  // the accepted text replaces *fmtdata. `vt` is accepted and not used.
  bool GetValueVT(int16_t vt, VARIANT* fmtdata, int16_t sub);
  // `value` by reference (one VT_BYREF|VT_VARIANT level) is the caller's
  // VARIANT, converted in place as the write converts it; by value it is a
  // copy. An empty value answers false without touching the bytes.
  bool WriteVT(int16_t len, const VARIANT& data, const VARIANT& value, int16_t sub);
  bool GetBounds(int16_t sub, double* fMin, double* fMax);
  int16_t Canonical(int16_t sub);
  int16_t Length(int16_t sub);
  std::u16string Name(int16_t sub);
  std::u16string MeasurementSystem();
  void SetMeasurementSystem(std::u16string_view system);

  TypeElementCore& Core() { return core_; }

 private:
  using Guard = std::lock_guard<CMyCriticalSection>;

  TypeElementCore core_;
};

}  // namespace vornfmt
