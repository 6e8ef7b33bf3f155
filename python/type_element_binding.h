#pragma once
// The Python class TypeElement: one loaded type of the open catalog, over
// the plain C++ type element. Wrong input raises (ValueError, IndexError,
// TypeError), never crashes; formatting and writing run without the GIL, so
// threads decode on elements of their own in parallel.
#include <pybind11/pybind11.h>

namespace vornfmt::python {

void BindTypeElement(pybind11::module_& module);

}  // namespace vornfmt::python
