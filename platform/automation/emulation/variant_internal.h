#pragma once
// Helpers shared by the automation sources; not part of the automation API.
#include "platform/automation/emulation/automation_types.h"

namespace vornfmt::automation {

// A type code that a VARIANT may carry: a base type below VT_VOID (15 is
// not one) or VT_RECORD, optionally with VT_BYREF and/or VT_ARRAY, which
// may not be added to VT_EMPTY or VT_NULL.
bool IsValidVariantType(VARTYPE vt);

}  // namespace vornfmt::automation
