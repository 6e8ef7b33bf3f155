#pragma once
// Helpers shared by the automation sources; not part of the automation API.
#include "platform/automation/emulation/automation_types.h"

namespace vornfmt::automation {

// A type code that a VARIANT may carry: a base type below VT_VOID (15 is
// not one) or VT_RECORD, optionally with VT_BYREF and/or VT_ARRAY, which
// may not be added to VT_EMPTY or VT_NULL. Inline: every VariantClear asks.
inline bool IsValidVariantType(VARTYPE vt) {
  const VARTYPE base = vt & VT_TYPEMASK;
  const VARTYPE extra = vt & ~VT_TYPEMASK;
  if (extra & (VT_VECTOR | VT_RESERVED)) return false;
  // Only BYREF and ARRAY may be added, and never to EMPTY or NULL.
  if ((extra & (VT_BYREF | VT_ARRAY)) && base <= VT_NULL) return false;
  if (base == 15) return false;  // the one gap below VT_VOID
  return base < VT_VOID || base == VT_RECORD;
}

}  // namespace vornfmt::automation
