#pragma once
// Python values and the VARIANTs of the type element: what a caller writes
// (text, a number, a truth value) becomes a VARIANT; what FormatVT answers
// becomes a str, an int, a float or a bool.
#include <pybind11/pybind11.h>

#include "platform/automation/oleauto.h"

namespace vornfmt::python {

// A VARIANT holding `value` (str: VT_BSTR; bool: VT_BOOL; int: VT_I4, or
// VT_R8 beyond its range; float: VT_R8). TypeError for anything else. The
// caller clears it.
VARIANT VariantOf(const pybind11::handle& value);

// The Python value of a FormatVT answer; ValueError for a VARTYPE that holds
// no text, number or truth value.
pybind11::object PythonValueOf(const VARIANT& result);

}  // namespace vornfmt::python

namespace vornfmt::python {

// A VARIANT cleared when it goes, whatever is thrown meanwhile.
struct ScopedVariant {
  VARIANT v;
  ScopedVariant() { VariantInit(&v); }
  explicit ScopedVariant(const VARIANT& owned) : v(owned) {}
  ~ScopedVariant() { VariantClear(&v); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
};

}  // namespace vornfmt::python
