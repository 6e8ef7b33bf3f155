#pragma once
// The plain C++ core of a type element: one resolved type with its tree,
// behind a lock of its own, formatting and writing raw bytes and answering
// the layout. The automation object hosts receive wraps it without adding
// logic: every member here is one member there, with the same answers.
//
// Every member takes the element's lock for its whole duration; inside,
// calls into the resource library take the process-wide resource lock, so
// the order is always element lock first, resource lock second. Different
// elements may be used on different threads at the same time.
//
// Subfield addressing: -1 is the whole type, 0..SubfieldsCount()-1 a
// subfield; any other index addresses nothing (false, 0 or empty answers).
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "convert/variant_convert.h"
#include "platform/critical_section.h"
#include "typetree/type_tree_item.h"

namespace vornfmt {

class TypeElementCore : public CMyCriticalSection {
 public:
  TypeElementCore() = default;

  // Loading; false when the type cannot be found or read. `typeName` may
  // carry "#SYSTEM", the measurement system.
  bool LoadByName(std::u16string_view typeName, std::u16string_view pid, int16_t selector);
  bool LoadByIndex(int16_t index, bool isNetworkVariable, std::u16string_view pid, int16_t selector);

  int16_t SubfieldsCount();
  int16_t Index();
  int16_t Selector();
  // The subfield whose path name is `name` (exact); -1 and false when none.
  bool GetSubIndexByName(std::u16string_view name, int16_t& sub);

  // FormatVT: `raw` (at least the type's length) as text (vt VT_BSTR) or as
  // a number of type vt, into `result` (replaced whatever the answer).
  bool Format(std::span<const uint8_t> raw, VARTYPE vt, VARIANT& result, int16_t sub);
  // WriteVT: `value` (text or number) into `raw` in place; an empty value
  // answers false and writes nothing.
  bool Write(std::span<uint8_t> raw, VARIANT& value, int16_t sub);

  // GetValueVT: the value dialog for the addressed item, started from the
  // text of `value` (a VT_BYREF|VT_VARIANT is followed one level); on OK the
  // accepted text replaces `value` (true). Shown whatever the view-messages
  // flag says; with nothing addressed, false and nothing shown.
  bool EditValue(VARIANT& value, int16_t sub);

  bool GetBounds(int16_t sub, double& minimum, double& maximum);
  VARTYPE Canonical(int16_t sub);
  int16_t Length(int16_t sub);
  std::u16string Name(int16_t sub);
  std::u16string MeasurementSystem();
  void SetMeasurementSystem(std::u16string_view system);

  // For the interactive editing step, which runs under the element's lock.
  CTypeTreeItem& Root() { return root_; }

 private:
  using Guard = std::lock_guard<CMyCriticalSection>;

  CTypeTreeItem root_;
};

// Format's answer as text, for callers that print it: the text itself, or
// the number converted to text as the platform's conversion gives it (a
// VT_BOOL true reads "-1"); empty when there is none.
// (Not const: the platform declares the source of VariantChangeType so.)
std::u16string ResultText(VARIANT& result);

}  // namespace vornfmt
