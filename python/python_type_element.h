#pragma once
// A type element as Python holds it: the element and the catalog session it
// was loaded from, which stays open while the element lives.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <pybind11/pybind11.h>

#include "control/type_element_core.h"
#include "python/catalog_session.h"

namespace vornfmt::python {

class PythonTypeElement {
 public:
  explicit PythonTypeElement(std::shared_ptr<CatalogSession> session) : session_(std::move(session)) {}

  TypeElementCore& Core() { return core_; }

  std::string Name(int16_t sub);
  std::vector<std::string> FieldNames();
  // IndexError unless `sub` is -1 or a subfield.
  void CheckSub(int16_t sub);
  // ValueError ("short data") when `data` holds fewer bytes than the type.
  std::vector<uint8_t> RawOf(const pybind11::handle& data);

  pybind11::object Format(const pybind11::handle& data, int16_t sub, std::optional<int> vt);
  pybind11::bytes Write(const pybind11::handle& data, const pybind11::handle& value, int16_t sub);
  pybind11::tuple Bounds(int16_t sub);

 private:
  std::shared_ptr<CatalogSession> session_;
  TypeElementCore core_;
};

}  // namespace vornfmt::python
