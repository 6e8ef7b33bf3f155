#include "python/type_element_binding.h"

#include <pybind11/stl.h>

#include "platform/code_page.h"
#include "python/python_type_element.h"

namespace py = pybind11;

namespace vornfmt::python {

void BindTypeElement(py::module_& module) {
  py::class_<PythonTypeElement>(module, "TypeElement",
                                "One LonWorks type of the open catalog: raw bytes to text or numbers and back.")
      .def_property_readonly("name", [](PythonTypeElement& e) { return e.Name(-1); })
      .def_property_readonly("index", [](PythonTypeElement& e) { return e.Core().Index(); })
      .def_property_readonly("selector", [](PythonTypeElement& e) { return e.Core().Selector(); })
      .def_property_readonly("subfield_count", [](PythonTypeElement& e) { return e.Core().SubfieldsCount(); })
      .def_property_readonly("field_names", &PythonTypeElement::FieldNames, "The path names of the subfields.")
      .def_property_readonly("has_format", [](PythonTypeElement& e) { return e.Core().HasFormat(); })
      .def_property_readonly("load_problem",
                             [](PythonTypeElement& e) { return codepage::Utf16ToUtf8(e.Core().LoadProblem()); })
      .def_property(
          "measurement_system",
          [](PythonTypeElement& e) { return codepage::Utf16ToUtf8(e.Core().MeasurementSystem()); },
          [](PythonTypeElement& e, const std::string& system) {
            e.Core().SetMeasurementSystem(codepage::Utf8ToUtf16(system));
          })
      .def(
          "sub_index",
          [](PythonTypeElement& e, const std::string& name) {
            int16_t sub = -1;
            if (!e.Core().GetSubIndexByName(codepage::Utf8ToUtf16(name), sub))
              throw py::key_error(e.Name(-1) + " has no subfield " + name);
            return sub;
          },
          py::arg("name"))
      .def(
          "field_name", [](PythonTypeElement& e, int16_t sub) { e.CheckSub(sub); return e.Name(sub); },
          py::arg("sub") = -1)
      .def(
          "length", [](PythonTypeElement& e, int16_t sub) { e.CheckSub(sub); return e.Core().Length(sub); },
          py::arg("sub") = -1, "Bytes of the type (-1) or of a subfield.")
      .def(
          "natural_type", [](PythonTypeElement& e, int16_t sub) { e.CheckSub(sub); return e.Core().Canonical(sub); },
          py::arg("sub") = -1, "The VARTYPE that holds the value naturally.")
      .def("bounds", &PythonTypeElement::Bounds, py::arg("sub") = -1)
      .def("format", &PythonTypeElement::Format, py::arg("data"), py::arg("sub") = -1, py::arg("vt") = py::none())
      .def("write", &PythonTypeElement::Write, py::arg("data"), py::arg("value"), py::arg("sub") = -1)
      .def("__repr__", [](PythonTypeElement& e) { return "<vornfmt.TypeElement " + e.Name(-1) + ">"; });
}

}  // namespace vornfmt::python
