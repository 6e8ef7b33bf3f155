#include "python/variant_values.h"

#include <limits>
#include <string>

#include "platform/automation/bstr_text.h"
#include "platform/code_page.h"

namespace py = pybind11;

namespace vornfmt::python {

VARIANT VariantOf(const py::handle& value) {
  VARIANT v;
  VariantInit(&v);
  // bool before int: Python's bool is an int.
  if (py::isinstance<py::str>(value)) {
    SetBstr(v, codepage::Utf8ToUtf16(value.cast<std::string>()));
  } else if (py::isinstance<py::bool_>(value)) {
    v.vt = VT_BOOL;
    v.boolVal = value.cast<bool>() ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (py::isinstance<py::int_>(value)) {
    const double number = value.cast<double>();
    if (number >= std::numeric_limits<LONG>::min() && number <= std::numeric_limits<LONG>::max()) {
      v.vt = VT_I4;
      v.lVal = value.cast<LONG>();
    } else {
      v.vt = VT_R8;
      v.dblVal = number;
    }
  } else if (py::isinstance<py::float_>(value)) {
    v.vt = VT_R8;
    v.dblVal = value.cast<double>();
  } else {
    throw py::type_error("a value is a str, an int, a float or a bool, not " +
                         std::string(py::str(py::type::of(value).attr("__name__"))));
  }
  return v;
}

py::object PythonValueOf(const VARIANT& result) {
  switch (result.vt) {
    case VT_BSTR: return py::str(codepage::Utf16ToUtf8(BstrText(result)));
    case VT_BOOL: return py::bool_(result.boolVal != VARIANT_FALSE);
    case VT_I1: return py::int_(static_cast<signed char>(result.cVal));
    case VT_UI1: return py::int_(result.bVal);
    case VT_I2: return py::int_(result.iVal);
    case VT_UI2: return py::int_(result.uiVal);
    case VT_I4: return py::int_(result.lVal);
    case VT_UI4: return py::int_(result.ulVal);
    case VT_INT: return py::int_(result.intVal);
    case VT_UINT: return py::int_(result.uintVal);
    case VT_R4: return py::float_(result.fltVal);
    case VT_R8: return py::float_(result.dblVal);
    default: throw py::value_error("VARTYPE " + std::to_string(result.vt) + " holds no text, number or truth value");
  }
}

}  // namespace vornfmt::python
