#include "python/python_type_element.h"

#include <cstdio>
#include <span>
#include <string_view>

#include "convert/edit_value.h"
#include "platform/code_page.h"
#include "python/variant_values.h"
#include "typetree/limit_breach.h"

namespace py = pybind11;

namespace vornfmt::python {
namespace {

std::string Field(const WriteRefusal& refusal) {
  const std::string field = codepage::Utf16ToUtf8(refusal.field);
  return refusal.wholeType ? " (" + field + ", the whole type)" : " (field \"" + field + "\")";
}

// "KIND: sentence" for one refusal; KIND says the reason's kind first, so
// callers can tell them apart.
std::string RefusalText(const WriteRefusal& refusal) {
  if (refusal.messageId == kRefusalNoValue)
    return "no value: the text gives no value for field \"" + codepage::Utf16ToUtf8(refusal.field) + "\"";
  const std::string message = codepage::Utf16ToUtf8(MessageText(refusal.messageId));
  const char* kind = refusal.messageId == kMessageDataExceedsBounds ? "bounds: "
                     : refusal.messageId == kMessageWrongData      ? "wrong text: "
                                                                   : "refused: ";
  return kind + message + Field(refusal);
}

std::string ConversionFailure(HRESULT code, VARTYPE vt) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
  return "the value cannot become VARTYPE " + std::to_string(vt) + " (code " + hex + ")";
}

}  // namespace

std::string PythonTypeElement::Name(int16_t sub) { return codepage::Utf16ToUtf8(core_.Name(sub)); }

std::vector<std::string> PythonTypeElement::FieldNames() {
  std::vector<std::string> names;
  const int16_t count = core_.SubfieldsCount();
  for (int16_t sub = 0; sub < count; ++sub) names.push_back(Name(sub));
  return names;
}

void PythonTypeElement::CheckSub(int16_t sub) {
  const int16_t count = subfields_;
  if (sub == -1 || (sub >= 0 && sub < count)) return;
  throw py::index_error(Name(-1) + " has no subfield " + std::to_string(sub) + " (it has " + std::to_string(count) +
                        ")");
}

void PythonTypeElement::Loaded() {
  length_ = static_cast<uint16_t>(core_.Length(-1));
  subfields_ = core_.SubfieldsCount();
}

void PythonTypeElement::CheckLength(size_t have) {
  if (have < length_)
    throw py::value_error("short data: " + std::to_string(have) + " bytes; " + Name(-1) + " takes " +
                          std::to_string(length_));
}

std::vector<uint8_t> PythonTypeElement::RawOf(const py::handle& data) {
  if (!py::isinstance<py::buffer>(data)) throw py::type_error("data is bytes-like (bytes, bytearray, memoryview)");
  const py::buffer_info view = py::reinterpret_borrow<py::buffer>(data).request();
  if (view.ndim > 1 || view.itemsize != 1) throw py::type_error("data is bytes-like: one dimension of bytes");
  CheckLength(static_cast<size_t>(view.size));
  const auto* first = static_cast<const uint8_t*>(view.ptr);
  return std::vector<uint8_t>(first, first + view.size);
}

py::object PythonTypeElement::Format(const py::handle& data, int16_t sub, std::optional<int> vt) {
  CheckSub(sub);
  if (vt && (*vt < 0 || *vt > 0xFFFF)) throw py::value_error("vt " + std::to_string(*vt) + " is no VARTYPE");
  const auto type = static_cast<VARTYPE>(vt.value_or(VT_BSTR));
  // bytes cannot change while the GIL is released and are read in place;
  // other buffers may, and are copied first.
  std::vector<uint8_t> copied;
  std::span<const uint8_t> raw;
  if (PyBytes_Check(data.ptr())) {
    raw = {reinterpret_cast<const uint8_t*>(PyBytes_AS_STRING(data.ptr())),
           static_cast<size_t>(PyBytes_GET_SIZE(data.ptr()))};
    CheckLength(raw.size());
  } else {
    copied = RawOf(data);
    raw = copied;
  }
  ScopedVariant result;
  bool ok = false;
  {
    py::gil_scoped_release released;
    ok = core_.Format(raw, type, result.v, sub);
  }
  if (ok) return PythonValueOf(result.v);
  if (result.v.vt == VT_ERROR) throw py::value_error(ConversionFailure(result.v.scode, type));
  if (!core_.HasFormat()) throw py::value_error(Name(-1) + " has no format");
  if (sub != -1 && type == VT_BSTR)
    throw py::value_error("no item of the format of " + Name(-1) + " shows subfield \"" + Name(sub) + "\"");
  throw py::value_error("the bytes cannot be decoded as " + Name(-1));
}

py::bytes PythonTypeElement::Write(const py::handle& data, const py::handle& value, int16_t sub) {
  CheckSub(sub);
  std::vector<uint8_t> raw = RawOf(data);
  ScopedVariant written(VariantOf(value));
  std::vector<WriteRefusal> why;
  bool ok = false;
  {
    py::gil_scoped_release released;
    ok = core_.Write(raw, written.v, sub, &why);
  }
  if (ok) return py::bytes(reinterpret_cast<const char*>(raw.data()), raw.size());
  std::string reason;
  for (const WriteRefusal& refusal : why) reason += (reason.empty() ? "" : "; ") + RefusalText(refusal);
  if (reason.empty()) reason = core_.HasFormat() ? "refused: the value cannot be written" : "no format: " + Name(-1) + " has no format";
  throw py::value_error(reason);
}

py::tuple PythonTypeElement::Bounds(int16_t sub) {
  CheckSub(sub);
  double minimum = 0, maximum = 0;
  if (!core_.GetBounds(sub, minimum, maximum))
    throw py::value_error(Name(sub) + " has no numeric bounds");
  return py::make_tuple(minimum, maximum);
}

}  // namespace vornfmt::python
