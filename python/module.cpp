// The Python module vornfmt._vornfmt: the catalog and its type elements.
#include <pybind11/pybind11.h>

#include "catalog/resource_lock.h"
#include "platform/code_page.h"
#include "python/catalog_session.h"
#include "python/python_type_element.h"
#include "python/type_element_binding.h"

#ifndef VORNFMT_VERSION
#define VORNFMT_VERSION "0.0.0"
#endif

namespace py = pybind11;
using vornfmt::python::CatalogSession;
using vornfmt::python::PythonTypeElement;

namespace {

std::u16string PidText(const std::string& pid) {
  std::string digits;
  for (char c : pid)
    if (c != ':') digits.push_back(c);
  return vornfmt::codepage::Utf8ToUtf16(digits);
}

[[noreturn]] void ThrowLookupError(const std::string& message) {
  PyErr_SetString(PyExc_LookupError, message.c_str());
  throw py::error_already_set();
}

// What the tree builder said when it refused the type, else that there is none.
std::string NotLoaded(const std::string& what, vornfmt::TypeElementCore& element, const std::string& pid,
                      int selector) {
  const std::string problem = vornfmt::codepage::Utf16ToUtf8(element.LoadProblem());
  if (!problem.empty()) return "cannot load " + what + ": " + problem;
  return "no " + what + " for program ID " + pid + " and selector " + std::to_string(selector);
}

void CheckSelector(int selector) {
  if (selector < 0 || selector > 65535) throw py::value_error("a selector is 0 to 65535");
}

std::unique_ptr<PythonTypeElement> ByName(const std::shared_ptr<CatalogSession>& session, const std::string& name,
                                          const std::string& pid, int selector) {
  CheckSelector(selector);
  auto element = std::make_unique<PythonTypeElement>(session);
  bool loaded = false;
  {
    py::gil_scoped_release released;
    loaded = element->Core().LoadByName(vornfmt::codepage::Utf8ToUtf16(name), PidText(pid),
                                        static_cast<int16_t>(selector));
  }
  if (!loaded) ThrowLookupError(NotLoaded("type " + name, element->Core(), pid, selector));
  element->Loaded();
  return element;
}

std::unique_ptr<PythonTypeElement> ByIndex(const std::shared_ptr<CatalogSession>& session, int index,
                                           const std::string& pid, int selector, bool networkVariable) {
  CheckSelector(selector);
  if (index < 0 || index > 32767) throw py::value_error("a type index is 0 to 32767");
  auto element = std::make_unique<PythonTypeElement>(session);
  bool loaded = false;
  {
    py::gil_scoped_release released;
    loaded = element->Core().LoadByIndex(static_cast<int16_t>(index), networkVariable, PidText(pid),
                                         static_cast<int16_t>(selector));
  }
  if (!loaded)
    ThrowLookupError(NotLoaded(std::string(networkVariable ? "network-variable" : "configuration-property") +
                                   " type " + std::to_string(index),
                               element->Core(), pid, selector));
  element->Loaded();
  return element;
}

}  // namespace

PYBIND11_MODULE(_vornfmt, module) {
  module.doc() = "LonWorks network-variable and configuration-property data to text and back";
  module.attr("__version__") = VORNFMT_VERSION;
  vornfmt::python::BindTypeElement(module);
  py::class_<CatalogSession, std::shared_ptr<CatalogSession>>(module, "Catalog",
                                                             "The resource catalog; one folder is open at a time.")
      .def(py::init([](const py::object& folder, const py::object& language) {
             auto session = CatalogSession::Open(folder.is_none() ? std::string() : py::str(folder).cast<std::string>());
             if (!language.is_none()) session->SetLanguage(language.cast<std::string>());
             return session;
           }),
           py::arg("folder") = py::none(), py::arg("language") = py::none())
      .def_property_readonly("folder", &CatalogSession::Folder)
      .def_property("language", &CatalogSession::Language, &CatalogSession::SetLanguage)
      .def("type_element", &ByName, py::arg("name"), py::arg("pid") = "0000000000000000", py::arg("selector") = 0,
           "The type of this name (SNVT_temp_p, UNVT_x#US, SCPT_...).")
      .def("type_element", &ByIndex, py::arg("index"), py::arg("pid") = "0000000000000000", py::arg("selector") = 0,
           py::arg("network_variable") = true, "The network-variable (or configuration-property) type of this index.")
      .def("__repr__", [](CatalogSession& c) { return "<vornfmt.Catalog " + c.Folder() + ">"; });
}
