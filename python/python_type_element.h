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
  // After a load: keeps what every call checks and a loaded type never
  // changes (its length, its subfields).
  void Loaded();

  std::string Name(int16_t sub);
  std::vector<std::string> FieldNames();
  // IndexError unless `sub` is -1 or a subfield.
  void CheckSub(int16_t sub);
  // ValueError ("short data") when `have` is fewer bytes than the type's.
  void CheckLength(size_t have);
  // A copy of bytes-like `data` (TypeError for anything else), checked as above.
  std::vector<uint8_t> RawOf(const pybind11::handle& data);

  pybind11::object Format(const pybind11::handle& data, int16_t sub, std::optional<int> vt);
  pybind11::bytes Write(const pybind11::handle& data, const pybind11::handle& value, int16_t sub);
  pybind11::tuple Bounds(int16_t sub);

 private:
  std::shared_ptr<CatalogSession> session_;
  TypeElementCore core_;
  size_t length_ = 0;
  int16_t subfields_ = 0;
};

}  // namespace vornfmt::python
